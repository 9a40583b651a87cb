#include "tally.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace vodavav::reliability {

namespace {

std::array<int, 5> g_counts{};

// One write per line to a file opened for appending, so lines of tests running side by side
// never interleave.
void appendLine(const std::string& line) {
    const int fd = ::open(resultsFile().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    ssize_t n;
    do {
        n = ::write(fd, line.data(), line.size());
    } while (n < 0 && errno == EINTR);
    ::close(fd);
}

std::string testName(const ::testing::TestInfo& info) {
    return std::string(info.test_suite_name()) + "." + info.name();
}

// A test that began and never ended died on the way: the report counts it as a crash.
class Recorder : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& info) override {
        g_counts.fill(0);
        appendLine("begin " + testName(info) + "\n");
    }
    void OnTestEnd(const ::testing::TestInfo& info) override {
        const ::testing::TestResult* result = info.result();
        const std::string_view outcome = result->Skipped()  ? "skipped"
                                         : result->Failed() ? "failed"
                                                            : "passed";
        appendLine(
            "end " + testName(info) + " " + std::string(outcome) +
            " hostile=" + std::to_string(g_counts[0]) + " faults=" + std::to_string(g_counts[1]) +
            " crashes=" + std::to_string(g_counts[2]) + " lost=" + std::to_string(g_counts[3]) +
            " mangled=" + std::to_string(g_counts[4]) + "\n");
    }
};

} // namespace

void count(Count what, int n) {
    g_counts[static_cast<std::size_t>(what)] += n;
}

std::string resultsFile() {
    if (const char* file = std::getenv("VODAVAV_RELIABILITY_RESULTS"); file && *file) {
        return file;
    }
    return RELIABILITY_RESULTS;
}

} // namespace vodavav::reliability

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // GoogleTest takes ownership of the listener.
    ::testing::UnitTest::GetInstance()->listeners().Append(
        std::make_unique<vodavav::reliability::Recorder>().release());
    return RUN_ALL_TESTS();
}
