#include "resultlog.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace vodavav::bench {

namespace {

std::string nameOf(const benchmark::BenchmarkReporter::Run& run) {
    std::string name = run.run_name.function_name;
    if (!run.run_name.args.empty()) {
        name += "/" + run.run_name.args;
    }
    return name;
}

} // namespace

double median(std::vector<double> values) {
    if (values.empty()) {
        throw std::runtime_error("no values");
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Read by scripts and kept in logs: colour codes only on a terminal.
ResultLog::ResultLog()
    : ConsoleReporter(::isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

void ResultLog::ReportRuns(const std::vector<Run>& runs) {
    std::vector<Run> shown;
    for (const Run& run : runs) {
        if (run.error_occurred) {
            m_failed = true;
        }
        if (run.run_type == Run::RT_Iteration) {
            m_runs[nameOf(run)].push_back(run);
        }
        // With repetitions only the summaries are worth reading on the console.
        if (run.run_type == Run::RT_Aggregate || run.repetitions <= 1 || run.error_occurred) {
            shown.push_back(run);
        }
    }
    if (!shown.empty()) {
        ConsoleReporter::ReportRuns(shown);
    }
}

double ResultLog::seconds(const std::string& name) const {
    const auto found = m_runs.find(name);
    if (found == m_runs.end()) {
        throw std::runtime_error("benchmark " + name + " did not run");
    }
    std::vector<double> values;
    for (const Run& run : found->second) {
        // The measure the benchmark asked for: wall-clock time where it said so, else the
        // process's processor time, which other work on the machine barely changes.
        const double total =
            run.run_name.time_type.empty() ? run.cpu_accumulated_time : run.real_accumulated_time;
        values.push_back(total / static_cast<double>(run.iterations));
    }
    return median(values);
}

double ResultLog::counter(const std::string& name, const std::string& counterName) const {
    const auto found = m_runs.find(name);
    if (found == m_runs.end()) {
        throw std::runtime_error("benchmark " + name + " did not run");
    }
    std::vector<double> values;
    for (const Run& run : found->second) {
        const auto c = run.counters.find(counterName);
        if (c != run.counters.end()) {
            values.push_back(c->second.value);
        }
    }
    return median(values);
}

std::vector<char*> withDefaultFlags(int argc, char** argv, std::vector<std::string>& storage) {
    storage = {"--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true"};
    std::vector<char*> args{argv[0]};
    for (std::string& s : storage) {
        args.push_back(s.data());
    }
    for (int i = 1; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    args.push_back(nullptr);
    return args;
}

bool printTarget(std::string_view name, double figure, double limit, int decimals) {
    const bool met = figure <= limit;
    std::printf("target %.*s: %.*f (limit %.*f) %s\n", static_cast<int>(name.size()), name.data(),
                decimals, figure, decimals, limit, met ? "met" : "missed");
    std::fflush(stdout);
    return met;
}

} // namespace vodavav::bench
