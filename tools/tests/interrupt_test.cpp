// nuvstat and Ctrl-C: SIGINT sent while the tool reads its input and at
// several moments of a long principal-component run must stop it with status
// 130, "nuvstat: interrupted" on stderr and nothing on stdout.
//
// The moments are fixed by the input pipe rather than by the clock: writing a
// large first block returns only once the tool has read most of it (so it is
// reading, with its handler installed), and the later delays count from the
// end of the input. The run itself takes minutes, so no delay can reach its
// end, however loaded the machine.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Stops are made within a few progress steps; a minute leaves room for a
// sanitizer build on a busy machine and is still far below the full run.
constexpr auto kStopWithin = std::chrono::seconds(60);

// 3000 columns of 100 rows: the covariance matrix takes a good part of a
// second (the moment when an operation that clears the abort flag as it
// starts could lose the signal), its Jacobi sweeps run for minutes. The
// comment lines in front make the input far larger than a pipe's buffer.
std::string Comments() {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "# filler line that the reader skips, written in front of the data\n";
  return text;
}

std::string Data() {
  std::string text;
  for (int r = 1; r <= 100; ++r) {
    for (int c = 1; c <= 3000; ++c) {
      if (c > 1) text += ',';
      text += std::to_string((c * 37 + r * r * 11 + c * r) % 101);
    }
    text += '\n';
  }
  return text;
}

struct Outcome {
  int Status = -1;
  std::string Out;
  std::string Err;
  bool TimedOut = false;
};

// nuvstat pca - with its standard streams on pipes.
class Tool {
 public:
  Tool() {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    FPid = fork();
    if (FPid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      execl(NUVSTAT_PATH, "nuvstat", "pca", "-", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    FIn = in[1];
    FOut = out[0];
    FErr = err[0];
  }
  ~Tool() {
    if (FPid > 0 && !FReaped) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
    for (int fd : {FIn, FOut, FErr})
      if (fd >= 0) close(fd);
  }
  bool Started() const { return FPid > 0; }

  // Blocks until the tool has taken all but a pipe buffer of the text.
  bool Write(const std::string& Text) {
    size_t done = 0;
    while (done < Text.size()) {
      const ssize_t n = write(FIn, Text.data() + done, Text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  void CloseInput() {
    close(FIn);
    FIn = -1;
  }
  void Interrupt() { kill(FPid, SIGINT); }

  // Collects both outputs and the exit status, killing the tool after Limit.
  Outcome Finish(Clock::duration Limit) {
    Outcome o;
    const Clock::time_point deadline = Clock::now() + Limit;
    pollfd fds[2] = {{FOut, POLLIN, 0}, {FErr, POLLIN, 0}};
    std::string* sink[2] = {&o.Out, &o.Err};
    int open = 2;
    while (open > 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) {
        o.TimedOut = true;
        kill(FPid, SIGKILL);
        break;
      }
      if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
      for (int k = 0; k < 2; ++k) {
        if (fds[k].fd < 0 || fds[k].revents == 0) continue;
        char buf[4096];
        const ssize_t n = read(fds[k].fd, buf, sizeof buf);
        if (n > 0) {
          sink[k]->append(buf, static_cast<size_t>(n));
        } else {
          fds[k].fd = -1;
          --open;
        }
      }
    }
    int status = 0;
    waitpid(FPid, &status, 0);
    FReaped = true;
    o.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return o;
  }

 private:
  pid_t FPid = -1;
  int FIn = -1, FOut = -1, FErr = -1;
  bool FReaped = false;
};

void ExpectInterrupted(const Outcome& o, const std::string& When) {
  EXPECT_FALSE(o.TimedOut) << When << ": still running " << kStopWithin.count() << " s after Ctrl-C";
  EXPECT_EQ(o.Status, 130) << When << "\nstderr: " << o.Err;
  EXPECT_EQ(o.Out, "") << When;
  EXPECT_NE(o.Err.find("nuvstat: interrupted\n"), std::string::npos) << When << "\nstderr: " << o.Err;
}

}  // namespace

TEST(NuvstatInterrupt, WhileReadingTheInput) {
  signal(SIGPIPE, SIG_IGN);
  Tool tool;
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(tool.Write(Comments()));
  tool.Interrupt();
  // The rest may meet a closed pipe if the tool has already stopped.
  tool.Write(Data());
  tool.CloseInput();
  ExpectInterrupted(tool.Finish(kStopWithin), "during reading");
}

TEST(NuvstatInterrupt, AtSeveralMomentsOfTheComputation) {
  signal(SIGPIPE, SIG_IGN);
  const std::string comments = Comments();
  const std::string data = Data();
  for (int delayMs : {0, 20, 100, 300, 1000}) {
    const std::string when = "Ctrl-C " + std::to_string(delayMs) + " ms after the input";
    Tool tool;
    ASSERT_TRUE(tool.Started());
    ASSERT_TRUE(tool.Write(comments));
    ASSERT_TRUE(tool.Write(data));
    tool.CloseInput();
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    tool.Interrupt();
    ExpectInterrupted(tool.Finish(kStopWithin), when);
  }
}
