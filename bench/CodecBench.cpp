// Codec jobs, ours against OpenLDAP's, in one run. After the table it prints
// our CPU time divided by OpenLDAP's for each job: below 1.0 we are faster.
#include "bench/CodecJobs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

const char kFilter[] = "(&(objectClass=person)(|(cn=a*b*c)(sn>=m))(!(uid=x)))";
char kCn[] = "cn";
char kMail[] = "mail";
char* kAttrs[] = {kCn, kMail, nullptr};

AddInput makeInput()
{
    AddInput input;
    input.dn = "uid=jdoe,ou=People,dc=example,dc=com";
    for (int i = 0; i < 20; ++i) {
        input.types.push_back("attribute" + std::to_string(i));
        input.values.push_back({"first value " + std::to_string(i), "second value " + std::to_string(i),
                                "third value " + std::to_string(i)});
    }
    return input;
}

const AddInput& input()
{
    static const AddInput value = makeInput();
    return value;
}

CodecJobs& jobs(bool ours)
{
    static std::unique_ptr<CodecJobs> orn(newOrnJobs(input()));
    static std::unique_ptr<CodecJobs> openldap(newOpenLdapJobs(input()));
    return ours ? *orn : *openldap;
}

template <bool Ours>
void EncodeSearch(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(jobs(Ours).encodeSearch(kFilter, kAttrs));
}

template <bool Ours>
void EncodeAdd(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(jobs(Ours).encodeAdd(input()));
}

template <bool Ours>
void DecodeEntry(benchmark::State& state)
{
    static const std::vector<uint8_t> message = searchEntryMessage(input());
    for (auto _ : state)
        benchmark::DoNotOptimize(jobs(Ours).decodeEntry(message));
}

BENCHMARK(EncodeSearch<true>)->Name("EncodeSearch/orn");
BENCHMARK(EncodeSearch<false>)->Name("EncodeSearch/openldap");
BENCHMARK(EncodeAdd<true>)->Name("EncodeAdd/orn");
BENCHMARK(EncodeAdd<false>)->Name("EncodeAdd/openldap");
BENCHMARK(DecodeEntry<true>)->Name("DecodeEntry/orn");
BENCHMARK(DecodeEntry<false>)->Name("DecodeEntry/openldap");

// Keeps each run's CPU time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                cpuTime_[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const
    {
        std::printf("\nour time / OpenLDAP's time (goal: at most 1.00)\n");
        for (const char* job : {"EncodeSearch", "EncodeAdd", "DecodeEntry"}) {
            auto ours = cpuTime_.find(std::string(job) + "/orn");
            auto theirs = cpuTime_.find(std::string(job) + "/openldap");
            if (ours != cpuTime_.end() && theirs != cpuTime_.end() && theirs->second > 0)
                std::printf("  %-13s %.2f\n", job, ours->second / theirs->second);
        }
    }

private:
    std::map<std::string, double> cpuTime_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
