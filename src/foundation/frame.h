// Foundation of nuv: the component frame, the exception classes and message
// forms, range clipping, the progress and abort hooks, and the base-library
// layer (CRC-32, bit fields, streams and their helpers, string helpers,
// colours, constants, shared types) with the platform layer under it
// (streams, text files, the uniform generator, bitmaps).
#pragma once

#include "foundation/asc_header.h"
#include "foundation/bitfld.h"
#include "foundation/bitmap.h"
#include "foundation/colors.h"
#include "foundation/component.h"
#include "foundation/crc32.h"
#include "foundation/events.h"
#include "foundation/exceptions.h"
#include "foundation/load_rules.h"
#include "foundation/memory.h"
#include "foundation/messages.h"
#include "foundation/nuv_export.h"
#include "foundation/progress.h"
#include "foundation/random.h"
#include "foundation/ranges.h"
#include "foundation/stream_helpers.h"
#include "foundation/streams.h"
#include "foundation/strings.h"
#include "foundation/textfile.h"
#include "foundation/types.h"
#include "foundation/utf8.h"
#include "foundation/xml.h"
