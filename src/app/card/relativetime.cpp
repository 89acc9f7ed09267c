#include "relativetime.h"

#include <QLoggingCategory>
#include <cmath>
#include <unicode/calendar.h>
#include <unicode/reldatefmt.h>
#include <unicode/timezone.h>

Q_LOGGING_CATEGORY(lcRelativeTime, "tessary.card.relativetime", QtInfoMsg)

namespace tessary {

struct RelativeTimeFormatter::Icu {
    std::unique_ptr<icu::Calendar> calendar;
    std::unique_ptr<icu::RelativeDateTimeFormatter> formatter;
};

namespace {

icu::UnicodeString toIcu(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const char16_t *>(text.utf16()),
                              static_cast<int32_t>(text.size()));
}

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

struct UnitStep {
    UCalendarDateFields field;
    URelativeDateTimeUnit unit;
};

// Largest first; the phrase uses the first step with a non-zero difference.
constexpr UnitStep kSteps[] = {
    {UCAL_YEAR, UDAT_REL_UNIT_YEAR},         {UCAL_MONTH, UDAT_REL_UNIT_MONTH},
    {UCAL_WEEK_OF_YEAR, UDAT_REL_UNIT_WEEK}, {UCAL_DATE, UDAT_REL_UNIT_DAY},
    {UCAL_HOUR_OF_DAY, UDAT_REL_UNIT_HOUR},  {UCAL_MINUTE, UDAT_REL_UNIT_MINUTE},
    {UCAL_SECOND, UDAT_REL_UNIT_SECOND},
};

} // namespace

RelativeTimeFormatter::RelativeTimeFormatter(const QLocale &locale, const QByteArray &timeZoneId)
    : m_icu(std::make_unique<Icu>())
{
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale icuLocale = icu::Locale::forLanguageTag(locale.bcp47Name().toStdString(), status);
    if (U_FAILURE(status) || icuLocale.isBogus()) {
        qCWarning(lcRelativeTime) << "unknown locale" << locale.bcp47Name() << "- using English";
        icuLocale = icu::Locale::getEnglish();
        status = U_ZERO_ERROR;
    }
    icu::TimeZone *zone =
        timeZoneId.isEmpty()
            ? icu::TimeZone::createDefault()
            : icu::TimeZone::createTimeZone(toIcu(QString::fromLatin1(timeZoneId)));
    m_icu->calendar.reset(icu::Calendar::createInstance(zone, icuLocale, status));
    if (U_FAILURE(status)) {
        qCWarning(lcRelativeTime) << "no calendar:" << u_errorName(status);
        m_icu->calendar.reset();
        return;
    }
    m_icu->formatter = std::make_unique<icu::RelativeDateTimeFormatter>(
        icuLocale, nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_NONE, status);
    if (U_FAILURE(status)) {
        qCWarning(lcRelativeTime) << "no relative formatter:" << u_errorName(status);
        m_icu->formatter.reset();
    }
}

RelativeTimeFormatter::~RelativeTimeFormatter() = default;

QString RelativeTimeFormatter::phrase(const QDateTime &date, const QDateTime &now) const
{
    if (!m_icu->calendar || !m_icu->formatter || !date.isValid() || !now.isValid())
        return {};
    UErrorCode status = U_ZERO_ERROR;
    icu::Calendar &calendar = *m_icu->calendar;
    calendar.setTime(static_cast<UDate>(now.toMSecsSinceEpoch()), status);
    const auto when = static_cast<UDate>(date.toMSecsSinceEpoch());
    double offset = 0;
    URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
    for (const UnitStep &step : kSteps) {
        // Moves the calendar by the whole units it returns, so the next step sees the rest.
        const int32_t difference = calendar.fieldDifference(when, step.field, status);
        if (U_FAILURE(status))
            return {};
        if (difference != 0) {
            offset = difference;
            unit = step.unit;
            break;
        }
    }
    // Less than a second apart: a capture that is not in the future reads as past ("0 seconds
    // ago"), not as "in 0 seconds". ICU tells the direction by the sign bit.
    if (offset == 0 && date <= now)
        offset = -0.0;
    icu::UnicodeString text;
    m_icu->formatter->formatNumeric(offset, unit, text, status);
    if (U_FAILURE(status))
        return {};
    return fromIcu(text);
}

} // namespace tessary
