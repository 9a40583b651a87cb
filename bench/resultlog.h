#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vodavav::bench {

// Shows the console report as usual and keeps every repetition, so that a program can put its
// figures side by side once all benchmarks have run.
class ResultLog : public benchmark::ConsoleReporter {
public:
    ResultLog();

    void ReportRuns(const std::vector<Run>& runs) override;

    // Median over the repetitions of the seconds one iteration of the named benchmark took
    // ("name/argument" as registered), in wall-clock time for a benchmark that uses real time and
    // in processor time otherwise; throws when it did not run.
    double seconds(const std::string& name) const;
    // Median over the repetitions of one of its counters.
    double counter(const std::string& name, const std::string& counterName) const;
    // Whether any benchmark stopped with an error.
    bool failed() const { return m_failed; }

private:
    std::map<std::string, std::vector<Run>> m_runs;
    bool m_failed = false;
};

// Google Benchmark's own flags with this repository's defaults in front, so that a flag given on
// the command line still wins.
std::vector<char*> withDefaultFlags(int argc, char** argv, std::vector<std::string>& storage);

// One line a script can read: "target NAME: FIGURE (limit LIMIT) met" or "... missed"; met when
// the figure does not exceed the limit.
bool printTarget(std::string_view name, double figure, double limit, int decimals = 2);

double median(std::vector<double> values);

} // namespace vodavav::bench
