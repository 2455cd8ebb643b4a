// Loading an image and reading every record in turn, as a run does: the time per record
// must not grow with the size of the image.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "datafile.h"
#include "image_text.h"

namespace {

using qelio::testing::MakeImage;
using qelio::testing::TempFile;

const TempFile& ImageOf(int records) {
    static std::map<int, std::unique_ptr<TempFile>> files;
    auto& file = files[records];
    if (!file) file = std::make_unique<TempFile>(MakeImage(static_cast<uint16_t>(records - 1)));
    return *file;
}

void BM_LoadAndReadEveryRecord(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const TempFile& file = ImageOf(records);
    for (auto _ : state) {
        qelio::ImageFile image;
        image.Load(file.Path());
        const uint32_t last = image.Count();
        for (uint32_t i = 0; i <= last; ++i) {
            benchmark::DoNotOptimize(image.Record(static_cast<uint16_t>(i)));
        }
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetComplexityN(records);
}
BENCHMARK(BM_LoadAndReadEveryRecord)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(65536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
