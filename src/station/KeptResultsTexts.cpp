#include "KeptResultsTexts.h"

#include "texts/Texts.h"

namespace station {

std::string fillPlaceholders(const std::string& text, const std::vector<std::string>& values)
{
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9';
        const auto slot = digit ? static_cast<std::size_t>(text[i + 1] - '1') : values.size();
        if (text[i] == '%' && slot < values.size()) {
            filled += values[slot];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

std::string keptAtExitText(const PendingKept& kept, const std::filesystem::path& resultsFile, bool english)
{
    using texts::TextId;
    const std::string count = std::to_string(kept.count);
    if (kept.kept)
        return fillPlaceholders(texts::text(TextId::ResultsKeptAtExit, english),
                                {count, resultsFile.string(), kept.writeFailure, kept.file.string()});
    return fillPlaceholders(
        texts::text(TextId::ResultsLostAtExit, english),
        {count, resultsFile.string(), kept.writeFailure, kept.file.string(), kept.keepFailure});
}

std::string keptWrittenInText(const PendingWriteIn& writtenIn, const std::filesystem::path& resultsFile,
                              const std::filesystem::path& pendingFile, bool english)
{
    using texts::TextId;
    if (!writtenIn.damage.empty()) {
        const auto& first = writtenIn.damage.front();
        const std::string where = first.line == 0
                                      ? first.reason
                                      : fillPlaceholders(texts::text(TextId::KeptResultsLine, english),
                                                         {std::to_string(first.line), first.reason});
        return fillPlaceholders(texts::text(TextId::KeptResultsDamaged, english),
                                {pendingFile.string(), std::to_string(writtenIn.damage.size()), where,
                                 std::to_string(writtenIn.writtenIn + writtenIn.alreadyThere)});
    }
    if (writtenIn.writtenIn == 0)
        return {};
    return fillPlaceholders(texts::text(TextId::KeptResultsWrittenIn, english),
                            {std::to_string(writtenIn.writtenIn), resultsFile.string()});
}

} // namespace station
