#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <variant>

namespace tessary {

// What one clipboard change held. Texts are kept exactly as read, images as the raw TIFF or PNG
// bytes the owner sent, files as the owner's ordered list of file: URLs.
class Payload {
public:
    enum class Kind { Text, Image, Files };

    static Payload text(QString text) { return Payload(std::move(text)); }
    static Payload image(QByteArray bytes) { return Payload(std::move(bytes)); }
    static Payload files(QList<QUrl> urls) { return Payload(std::move(urls)); }

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    // Each accessor returns an empty value for the other kinds.
    QString text() const;
    QByteArray imageBytes() const;
    QList<QUrl> fileUrls() const;

    // Canonically equivalent texts are equal (no other folding); images compare length, then
    // bytes; file lists compare in order, URL text against URL text. Kinds never mix.
    friend bool operator==(const Payload &a, const Payload &b);

private:
    using Value = std::variant<QString, QByteArray, QList<QUrl>>;
    explicit Payload(Value value) : m_value(std::move(value)) {}
    Value m_value;
};

// One history entry. Entries are never modified: a repeated copy becomes a new entry.
struct Entry {
    QUuid id;
    Payload payload;
    QDateTime capturedAt;

    static Entry create(Payload payload);
};

} // namespace tessary
