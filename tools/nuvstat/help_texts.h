// The help texts of nuvstat: the overview and one per command.
#pragma once

namespace nuvstat::help {

extern const char* const kOverview;
extern const char* const kDescribe;
extern const char* const kCorr;
extern const char* const kCov;
extern const char* const kPca;
extern const char* const kRegress;
extern const char* const kTest;
extern const char* const kCluster;
extern const char* const kFit;
extern const char* const kRank;
extern const char* const kSmooth;
extern const char* const kDerivative;
extern const char* const kSpectrum;
extern const char* const kDensity;

}  // namespace nuvstat::help
