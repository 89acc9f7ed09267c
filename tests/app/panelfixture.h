#pragma once

#include "core/monitor.h"
#include "platform/memory/memorypasteboard.h"

#include <QObject>
#include <QVariantList>

class QQmlEngine;

namespace tessary::test {

// Records the rows it is asked to preview, in place of the previewer window.
class RecordingPreviewer : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariantList rows READ rows NOTIFY rowsChanged)
public:
    Q_INVOKABLE void previewRow(int row)
    {
        m_rows.append(row);
        emit rowsChanged();
    }
    QVariantList rows() const { return m_rows; }
    Q_INVOKABLE void clear()
    {
        m_rows.clear();
        emit rowsChanged();
    }

signals:
    void rowsChanged();

private:
    QVariantList m_rows;
};

class SilentSound : public SoundPlayer {
public:
    void playCopyConfirmation() override { ++confirmations; }
    void playErrorBeep() override { ++beeps; }
    int confirmations = 0;
    int beeps = 0;
};

// A monitor over an in-memory clipboard whose history the tests fill directly, and a
// recording previewer. Exposed to QML as `fixture`.
class PanelFixture : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject *monitor READ monitorObject CONSTANT)
    Q_PROPERTY(QObject *previewer READ previewerObject CONSTANT)
    Q_PROPERTY(int writes READ writes)
public:
    PanelFixture();

    // Registers every panel type on the engine and exposes the fixture as `fixture`.
    void install(QQmlEngine &engine);

    // Each puts a new entry at the front and returns its id.
    Q_INVOKABLE QString addText(const QString &text);
    Q_INVOKABLE QString addImage(int width, int height);
    Q_INVOKABLE QString addFiles(const QStringList &paths);
    // Fills the history with `count` short texts.
    Q_INVOKABLE void addTexts(int count);
    Q_INVOKABLE void removeRow(int row);
    Q_INVOKABLE void clear();
    // Texts, images and files, the newest an image.
    Q_INVOKABLE void addMixed();

    int writes() const;
    ClipboardMonitor &monitor() { return m_monitor; }
    HistoryModel &history() { return *m_monitor.history(); }
    RecordingPreviewer &previewer() { return m_previewer; }
    MemoryPasteboard &pasteboard() { return m_pasteboard; }

private:
    QObject *monitorObject() { return &m_monitor; }
    QObject *previewerObject() { return &m_previewer; }
    QString add(Payload payload);

    MemoryPasteboard m_pasteboard;
    SilentSound m_sound;
    ClipboardMonitor m_monitor;
    RecordingPreviewer m_previewer;
};

} // namespace tessary::test
