#include "ResultsWords.h"

#include "setup/ChannelMode.h"
#include "texts/QtTexts.h"

#include <QStringList>

namespace resultsview {

using texts::TextId;

QString verdictText(RunVerdict verdict, bool english)
{
    if (verdict == RunVerdict::NotMeasured)
        return texts::qtext(TextId::GridNotMeasured, english);
    return QString::fromLatin1(verdictName(verdict).data());
}

QString modeText(int mode, bool english)
{
    switch (static_cast<ChannelMode>(mode)) {
    case ChannelMode::Open:
        return texts::qtext(TextId::MonitorModeOpen, english);
    case ChannelMode::Closed:
        return texts::qtext(TextId::MonitorModeClosed, english);
    case ChannelMode::Masked:
        return texts::qtext(TextId::MonitorModeMasked, english);
    case ChannelMode::LowerOnly:
        return texts::qtext(TextId::MonitorModeLowerOnly, english);
    case ChannelMode::UpperOnly:
        return texts::qtext(TextId::MonitorModeUpperOnly, english);
    }
    return QString::number(mode);
}

QString verdictCounts(const std::vector<RunVerdict>& verdicts, bool english)
{
    int counts[4] = {};
    for (const RunVerdict verdict : verdicts)
        ++counts[static_cast<int>(verdict)];
    QStringList parts;
    const RunVerdict order[] = {RunVerdict::Pass, RunVerdict::Fail, RunVerdict::Load,
                                RunVerdict::NotMeasured};
    for (const auto verdict : order)
        if (counts[static_cast<int>(verdict)] > 0)
            parts << QStringLiteral("%1 %2")
                         .arg(counts[static_cast<int>(verdict)])
                         .arg(verdictText(verdict, english));
    return parts.join(QStringLiteral(", "));
}

} // namespace resultsview
