// The libFuzzer entry points: seeds on request, then every input run with the
// allocation ceiling armed only while the harness works (libFuzzer's own
// buffers are larger).
#include "fuzz_common.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/alloc_limit.h"

namespace nuv_fuzz {

namespace {

constexpr std::size_t kCeiling = std::size_t{1} << 20;

std::string gScratch;  // the scratch directory once made, removed at the end

void RemoveScratch() {
  std::error_code ec;
  std::filesystem::remove_all(gScratch, ec);
}

// Every input of a file reader is written to a file: in memory (/dev/shm)
// where there is one, which is many times faster than a disk.
std::string ScratchDir() {
  static const std::string dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    if (access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    std::string d = base + "/nuv_fuzz_" + std::to_string(getpid());
    if (mkdir(d.c_str(), 0700) != 0 && errno != EEXIST) std::abort();
    gScratch = d;
    std::atexit(RemoveScratch);
    return d;
  }();
  return dir;
}

// Writes the seeds as files named seed_<n> into Dir.
void WriteSeeds(const std::string& Dir) {
  const std::vector<std::string> seeds = Seeds();
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    std::ofstream f(Dir + "/seed_" + std::to_string(i), std::ios::binary);
    f << seeds[i];
    if (!f) {
      std::fprintf(stderr, "cannot write the seeds into %s\n", Dir.c_str());
      std::exit(2);
    }
  }
  std::fprintf(stderr, "%zu seeds written into %s\n", seeds.size(), Dir.c_str());
}

}  // namespace

void Require(bool Ok, const char* Message) {
  if (Ok) return;
  nuv_test::SetAllocationCeiling(0);
  std::fprintf(stderr, "nuv fuzz check failed: %s\n", Message);
  std::abort();
}

const std::string& AsFile(const uint8_t* Data, std::size_t Size) {
  static const std::string name = ScratchDir() + "/input";
  std::FILE* f = std::fopen(name.c_str(), "wb");
  Require(f != nullptr, "cannot create the input file");
  if (Size > 0) Require(std::fwrite(Data, 1, Size, f) == Size, "cannot write the input file");
  Require(std::fclose(f) == 0, "cannot close the input file");
  return name;
}

std::string BytesOf(nuv::TMemoryStream& S) {
  return std::string(reinterpret_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
}

std::string BytesOfFile(const std::string& FileName) {
  std::ifstream f(FileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string SeedFile(const std::string& Name) { return ScratchDir() + "/" + Name; }

std::string StateOf(const nuv::TMatrix& m) {
  return std::to_string(m.NrOfColumns()) + "x" + std::to_string(m.NrOfRows()) + " " +
         m.DataID() + " " + std::to_string(m.GetFPrecis(1)) + " " +
         std::to_string(m.GetFPrecis(2)) + " " + m.CRCofData();
}

}  // namespace nuv_fuzz

// NUV_FUZZ_SEEDS=<dir>: write the seed corpus there and stop.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("NUV_FUZZ_SEEDS")) {
    nuv_fuzz::WriteSeeds(dir);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  nuv_test::ScopedAllocationCeiling ceiling(nuv_fuzz::kCeiling);
  nuv_fuzz::TestOneInput(Data, Size);
  return 0;
}
