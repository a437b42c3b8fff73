// The bundled sample, compiled into the program so that it runs from any directory.
#pragma once

namespace nuvstat {

/// The text of data/iris.csv as it was at build time; empty when the build had none.
extern const char* const kIrisCsv;

}  // namespace nuvstat
