// Feeds arbitrary converter output to the parser in arbitrary chunks. The
// first byte chooses where the chunks are cut; both streams are used. The
// failure text made of it goes through the renaming of temporary files too.
#include "extract/converter_output_parser.h"
#include "platform/partial_files.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {
class FakeJobList : public quillon::ProgressTarget {
public:
    int Count() const override { return 2; }
    void SetProgressText(int index, const std::string &text) override
    {
        if (index < 0 || index >= 2 || text.empty() || text.back() != '%')
            __builtin_trap();
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using quillon::ConverterOutputParser;
    if (size == 0)
        return 0;
    quillon::MediaFacts facts;
    FakeJobList list;
    ConverterOutputParser parser(facts);
    parser.SetProgressTarget(&list, static_cast<int>(data[0] & 1));
    parser.BeginRun();
    const size_t step = 1 + data[0] % 97;
    const char *text = reinterpret_cast<const char *>(data + 1);
    size_t left = size - 1, turn = 0;
    while (left > 0) {
        const size_t n = left < step ? left : step;
        parser.ParseConverterOutput(turn++ % 3 == 2 ? ConverterOutputParser::Stream::Out
                                                    : ConverterOutputParser::Stream::Err,
                                    text, static_cast<int>(n));
        text += n;
        left -= n;
    }
    parser.EndRun();
    if (facts.Duration < 0 || facts.PictureWidth < 0 || facts.PictureHeight < 0 || facts.SoundTracks.size() > 64)
        __builtin_trap();
    // A track's language names output files: letters only, never a path.
    for (const quillon::SoundTrack &t : facts.SoundTracks)
        if (t.StreamIndex < 0 || t.Codec.empty() ||
            t.Language.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos)
            __builtin_trap();
    const std::string failure = parser.FailureText();
    const std::string named = quillon::NamePartialFilesAs(failure, "/out/a b.MP3");
    // A mention of a temporary file is longer than the name put in its place.
    if (named.size() > failure.size())
        __builtin_trap();
    const std::string all(reinterpret_cast<const char *>(data), size);
    quillon::NamePartialFilesAs(all, "/" + all.substr(0, size / 2));
    return 0;
}
