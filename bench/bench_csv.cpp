// Splitting a ';' CSV into rows: brelvoxa's own splitter against libcsv, the
// well-kept streaming RFC 4180 parser. libcsv hands out only the values; to learn
// where each row starts and ends, which brelvoxa needs to write every row back byte
// for byte, it has to be fed one byte at a time, timed here too.

#include "cli/csv.h"

#include <benchmark/benchmark.h>
#include <csv.h>

#include <string>

namespace {

const std::string& sample() {
    static const std::string csv = [] {
        const char* names[] = {"\"Garcia Puig, Anna\"", "Ferrer", "\"Martí \"\"Tito\"\"\"",
                               "Roca Serra"};
        std::string s = "Id;Nom;Compte;Import\r\n";
        for (int i = 0; i < 100000; ++i)
            s += std::to_string(i) + ";" + names[i % 4] + ";ES03 2100 1234 5156 7890 1234;" +
                 std::to_string(i % 5000) + ",50\r\n";
        return s;
    }();
    return csv;
}

constexpr int sampleRows = 100001;

void splitter(benchmark::State& state) {
    for (auto _ : state) {
        cli::Splitter split(';');
        cli::Record record;
        std::string_view data = sample();
        std::size_t cells = 0;
        while (const std::size_t taken = split.next(data, true, record)) {
            cells += record.cells.size();
            data.remove_prefix(taken);
        }
        benchmark::DoNotOptimize(cells);
    }
    state.counters["files/s"] =
        benchmark::Counter(double(sampleRows) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(splitter)->Unit(benchmark::kMillisecond);

struct Counts {
    std::size_t cells = 0, rows = 0;
};

void onCell(void*, std::size_t, void* counts) {
    ++static_cast<Counts*>(counts)->cells;
}
void onRow(int, void* counts) {
    ++static_cast<Counts*>(counts)->rows;
}

// feed: how many bytes libcsv is given at a time; 1 tells where every row ends.
void libcsv(benchmark::State& state) {
    const std::size_t feed = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        csv_parser parser;
        csv_init(&parser, CSV_APPEND_NULL);
        csv_set_delim(&parser, ';');
        Counts counts;
        const std::string& data = sample();
        for (std::size_t at = 0; at < data.size(); at += feed)
            csv_parse(&parser, data.data() + at, std::min(feed, data.size() - at), onCell, onRow,
                      &counts);
        csv_fini(&parser, onCell, onRow, &counts);
        csv_free(&parser);
        benchmark::DoNotOptimize(counts);
    }
    state.counters["files/s"] =
        benchmark::Counter(double(sampleRows) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(libcsv)->Arg(1 << 20)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
