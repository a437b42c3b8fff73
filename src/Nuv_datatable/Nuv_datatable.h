// Data tables: TDataTable, a table of numeric and nominal cells with
// measurement scales, cell states, row and column names and attributes, block
// statistics that respect scales and states, covariance and normalization,
// marking, exchanging and sorting, and CSV and ASC files.
#pragma once

#include "Nuv_datatable/datatable.h"
#include "Nuv_datatable/datatable_types.h"
