// The CLAP plug-in's state loader on any stream: any bytes, handed over in
// any chunking, with a stream that may fail part way. A stream the loader
// takes is one whole record of a version it reads, and the plug-in then
// saves a record of the current version.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

#include "LoadedClapLibrary.h"
#include "SettingsRecord.h"

namespace {

// Reads at most the next chunk size a call, from the sizes the input chose
// (0 standing for whatever is asked), failing at call `failAt` if set.
struct ChunkedStream {
    std::vector<uint8_t> bytes;
    std::vector<size_t> chunks;
    size_t position = 0, calls = 0, failAt = 0;

    const clap_istream_t* input() {
        stream = {this, [](const clap_istream_t* s, void* data, uint64_t size) -> int64_t {
                      auto& self = *static_cast<ChunkedStream*>(s->ctx);
                      ++self.calls;
                      if (self.failAt != 0 && self.calls == self.failAt) return -1;
                      size_t n = std::min<size_t>(static_cast<size_t>(size), self.bytes.size() - self.position);
                      const size_t chunk = self.chunks.empty() ? 0 : self.chunks[self.calls % self.chunks.size()];
                      if (chunk != 0) n = std::min(n, chunk);
                      if (n > 0) std::memcpy(data, self.bytes.data() + self.position, n);
                      self.position += n;
                      return static_cast<int64_t>(n);
                  }};
        return &stream;
    }

private:
    clap_istream_t stream{};
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    loadedClapLibrary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    ChunkedStream stream;
    const size_t chunkCount = input.ConsumeIntegralInRange<size_t>(0, 4);
    for (size_t i = 0; i < chunkCount; ++i) stream.chunks.push_back(input.ConsumeIntegralInRange<size_t>(0, 100));
    stream.failAt = input.ConsumeIntegralInRange<size_t>(0, 3) == 0 ? input.ConsumeIntegralInRange<size_t>(1, 40) : 0;
    stream.bytes = input.ConsumeRemainingBytes<uint8_t>();

    ClapTestHost host;
    const clap_plugin_t* plugin = host.create(loadedClapLibrary());
    if (!plugin) std::abort();
    const auto* state = ClapTestHost::extension<clap_plugin_state_t>(plugin, CLAP_EXT_STATE);
    if (state->load(plugin, stream.input())) {
        MemoryStream saved;
        if (!state->save(plugin, saved.output())) std::abort();
        // A record of either version, with or without what follows it.
        const size_t taken = stream.bytes.size();
        const size_t first = settingsrecord::sizeFor(kNumSpeakerParameters), extras = settingsrecord::kExtrasSize;
        if (taken != first && taken != first + extras && taken != settingsrecord::kSize &&
            taken != settingsrecord::kSize + extras)
            std::abort();
        if (saved.bytes.size() != settingsrecord::kSize + extras) std::abort();
    }
    plugin->destroy(plugin);
    return 0;
}
