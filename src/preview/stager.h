#pragma once

#include "core/entry.h"

#include <QByteArrayView>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace tessary {

// Puts bytes into an open file. Split out so that tests can make writing fail part way, as a
// full disk would.
class StagingWriter {
public:
    virtual ~StagingWriter() = default;
    // Writes all of the bytes to the descriptor; false on any error.
    virtual bool writeAll(int fd, QByteArrayView bytes);
};

// Turns an entry into a file the previewer can open. Texts (UTF-8, no BOM) and images (the
// stored bytes, extension by their signature) become new files "tessary-<UUID>.<ext>" in the
// private runtime directory, a new one on every call, until they are removed. A files entry
// gives its first URL as it is. Staging may run on any thread.
class PreviewStager {
public:
    using DirectoryProvider = std::function<std::optional<QString>()>;

    // By default files go to privateRuntimeDirectory() and are written with write(2).
    explicit PreviewStager(DirectoryProvider directory = {}, StagingWriter *writer = nullptr);

    // The URL to show, or nothing when there is none or the file could not be written whole.
    std::optional<QUrl> stage(const Payload &payload);
    // Deletes a file stage() made; false for any other URL.
    bool remove(const QUrl &staged);
    // Deletes every staged file in the directory, and any left half-written.
    void removeStagedFiles();

    // Writes a new file with exactly these bytes, mode 0600, under a name that did not exist.
    // The bytes go to a hidden temporary name first, which is renamed only once complete, so a
    // failed write never leaves a partial file under the final name. Exposed for tests.
    std::optional<QString> writeNewFile(const QString &directory, const QString &fileName,
                                        QByteArrayView bytes);

    // "tessary-" + a new upper-case UUID + "." + extension.
    static QString newFileName(const QString &extension);
    static constexpr char kPrefix[] = "tessary-";

private:
    DirectoryProvider m_directory;
    StagingWriter m_defaultWriter;
    StagingWriter &m_writer;
};

} // namespace tessary
