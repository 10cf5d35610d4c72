#include "SampleGoTo.h"

#include "ReadoutFormat.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("SampleGoTo", text);
}

// The text without spaces around it and without grouping commas.
QString ungrouped(QString text)
{
    return text.trimmed().remove(QLatin1Char(','));
}

SampleGoTo refused(const QString& reason)
{
    return {-1, reason};
}

} // namespace

SampleGoTo SampleGoTo::toSample(const QString& text, std::size_t samples)
{
    bool ok = false;
    const qlonglong index = ungrouped(text).toLongLong(&ok);
    if (!ok)
        return refused(tr("A sample is a whole number"));
    if (samples == 0 || index < 0 || static_cast<unsigned long long>(index) >= samples)
        return refused(tr("The run's samples are 0 to %1")
                           .arg(QString::fromStdString(cosmophase::groupedWholeNumber(double(samples) - 1))));
    return {static_cast<std::int32_t>(index), {}};
}

SampleGoTo SampleGoTo::toTime(const QString& text, const std::vector<double>& times)
{
    static const QRegularExpression years(QStringLiteral("\\s*years?$"), QRegularExpression::CaseInsensitiveOption);
    bool ok = false;
    const double time = ungrouped(text).remove(years).toDouble(&ok);
    if (!ok || !std::isfinite(time))
        return refused(tr("A time is a number of years"));
    // The last time as the table shows it, rounded to whole years, is in.
    const double end = times.empty() ? 0 : std::ceil(times.back());
    if (times.empty() || time > end)
        return refused(tr("The run ends at %1 years").arg(QString::fromStdString(cosmophase::groupedWholeNumber(end))));
    // The first sample at or after the time; before the start, the first.
    const auto at = std::min(std::lower_bound(times.begin(), times.end(), time), times.end() - 1);
    return {static_cast<std::int32_t>(at - times.begin()), {}};
}
