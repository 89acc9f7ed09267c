#include "entry.h"

namespace tessary {
namespace {

template <typename T> T valueOr(const auto &variant)
{
    if (const T *value = std::get_if<T>(&variant))
        return *value;
    return {};
}

bool sameText(const QString &a, const QString &b)
{
    if (a.isSharedWith(b) || a == b)
        return true;
    // Canonical equivalence: both decompose to the same sequence. Compatibility forms (ligatures,
    // full-width letters) stay distinct because only the canonical decomposition is applied.
    return a.normalized(QString::NormalizationForm_D) == b.normalized(QString::NormalizationForm_D);
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    // QByteArray's operator== checks the length before touching any byte, and memcmp runs at
    // memory bandwidth; shared storage is caught by the pointer test.
    return a.isSharedWith(b) || a == b;
}

bool sameUrls(const QList<QUrl> &a, const QList<QUrl> &b)
{
    if (a.size() != b.size())
        return false;
    if (a.constData() == b.constData())
        return true;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].toString(QUrl::FullyEncoded) != b[i].toString(QUrl::FullyEncoded))
            return false;
    }
    return true;
}

} // namespace

QString Payload::text() const
{
    return valueOr<QString>(m_value);
}
QByteArray Payload::imageBytes() const
{
    return valueOr<QByteArray>(m_value);
}
QList<QUrl> Payload::fileUrls() const
{
    return valueOr<QList<QUrl>>(m_value);
}

bool operator==(const Payload &a, const Payload &b)
{
    if (a.m_value.index() != b.m_value.index())
        return false;
    switch (a.kind()) {
    case Payload::Kind::Text:
        return sameText(std::get<QString>(a.m_value), std::get<QString>(b.m_value));
    case Payload::Kind::Image:
        return sameBytes(std::get<QByteArray>(a.m_value), std::get<QByteArray>(b.m_value));
    case Payload::Kind::Files:
        return sameUrls(std::get<QList<QUrl>>(a.m_value), std::get<QList<QUrl>>(b.m_value));
    }
    return false;
}

Entry Entry::create(Payload payload)
{
    return Entry{QUuid::createUuid(), std::move(payload), QDateTime::currentDateTime()};
}

} // namespace tessary
