#pragma once

#include <QObject>
#include <QSize>
#include <QUrl>

namespace tessary {

// What the previewer shows of one file, worked out off the GUI thread.
struct FileInspection {
    enum class Kind { Text, Image, Other, Error };
    Kind kind = Kind::Error;
    QString text;           // Text: the contents, up to kMaxTextBytes
    QStringList textBlocks; // Text: the same in pieces, see splitTextBlocks()
    bool truncated = false; // Text: more followed
    QSize imageSize;        // Image: its size in pixels
    QString mimeType;
    QString typeName; // the type's description ("PNG image")
    qint64 size = -1; // bytes; -1 for folders
    QString error;    // Error: a sentence for the user
};

// Cuts text into pieces of at most `maxLength` characters for a view that lays out only the
// pieces on screen: a long text in one piece takes seconds to lay out, a long line minutes.
// Pieces end at line breaks, which are dropped, except where one line alone is too long: that is
// cut (never inside a surrogate pair) and the pieces join without a separator.
QStringList splitTextBlocks(const QString &text, qsizetype maxLength);

// Looks at a file: its type, and the contents the previewer needs. Blocking.
FileInspection inspectFile(const QUrl &url);

// The file the previewer shows, for its view. Setting a URL starts loading it; a file whose
// loading is overtaken by another URL is dropped.
class PreviewContent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl url READ url NOTIFY contentChanged FINAL)
    Q_PROPERTY(Kind kind READ kind NOTIFY contentChanged FINAL)
    Q_PROPERTY(QString fileName READ fileName NOTIFY contentChanged FINAL)
    Q_PROPERTY(QString text READ text NOTIFY contentChanged FINAL)
    Q_PROPERTY(QStringList textBlocks READ textBlocks NOTIFY contentChanged FINAL)
    Q_PROPERTY(bool truncated READ truncated NOTIFY contentChanged FINAL)
    Q_PROPERTY(QSize imageSize READ imageSize NOTIFY contentChanged FINAL)
    Q_PROPERTY(QString typeName READ typeName NOTIFY contentChanged FINAL)
    Q_PROPERTY(QString sizeText READ sizeText NOTIFY contentChanged FINAL)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY contentChanged FINAL)
    // Images: true shows them at their own resolution instead of fitted to the window.
    Q_PROPERTY(bool zoomed READ zoomed WRITE setZoomed NOTIFY zoomedChanged FINAL)
public:
    enum class Kind { Loading, Text, Image, Other, Error };
    Q_ENUM(Kind)

    // More than anyone reads in a preview.
    static constexpr qint64 kMaxTextBytes = 4 * 1024 * 1024;
    static constexpr qsizetype kTextBlockLength = 4096;

    using QObject::QObject;

    void load(const QUrl &url);
    // Shows nothing and holds nothing of the file shown before.
    void clear();

    QUrl url() const { return m_url; }
    Kind kind() const { return m_kind; }
    QString fileName() const;
    QString text() const { return m_inspection.text; }
    QStringList textBlocks() const { return m_inspection.textBlocks; }
    bool truncated() const { return m_inspection.truncated; }
    QSize imageSize() const { return m_inspection.imageSize; }
    QString typeName() const { return m_inspection.typeName; }
    QString sizeText() const;
    QString errorMessage() const { return m_inspection.error; }
    bool zoomed() const { return m_zoomed; }
    void setZoomed(bool zoomed);

    // Hands the file to the desktop's default application for its type.
    Q_INVOKABLE void openExternally();
    Q_INVOKABLE void requestClose() { emit closeRequested(); }

signals:
    void contentChanged();
    void zoomedChanged();
    void closeRequested();
    // The file went to another application.
    void handedOver();
    // The content for the current URL is in place.
    void loaded();

private:
    QUrl m_url;
    Kind m_kind = Kind::Loading;
    FileInspection m_inspection;
    bool m_zoomed = false;
    quint64 m_ticket = 0;
};

} // namespace tessary
