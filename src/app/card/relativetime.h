#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <memory>

namespace tessary {

// "3 minutes ago", "vor 2 Stunden": the signed distance from a reference time to a date, in
// the largest calendar unit that is not zero (years, months, weeks, days, hours, minutes,
// seconds), with the unit written out in full and the number as a number ("1 day ago", never
// "yesterday"). Built on ICU's RelativeDateTimeFormatter, which takes a while to set up: the
// application makes one and hands it on. Not thread-safe: one thread uses it.
class RelativeTimeFormatter {
public:
    // The calendar and phrases of this locale; an empty zone means the system's time zone.
    explicit RelativeTimeFormatter(const QLocale &locale, const QByteArray &timeZoneId = {});
    ~RelativeTimeFormatter();
    RelativeTimeFormatter(const RelativeTimeFormatter &) = delete;
    RelativeTimeFormatter &operator=(const RelativeTimeFormatter &) = delete;

    // The phrase for `date` seen from `now`; an empty string if either is invalid.
    QString phrase(const QDateTime &date, const QDateTime &now) const;

private:
    struct Icu;
    std::unique_ptr<Icu> m_icu;
};

} // namespace tessary
