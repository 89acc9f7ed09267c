#include "clipboardreading.h"

#include "core/capture.h"
#include "platform/formats/clipboardformats.h"
#include "selectionreader.h"

namespace tessary::x11 {
namespace {

// The capture's questions answered from one X11 selection content.
class SelectionSource : public ClipboardSource {
public:
    SelectionSource(SelectionReader &reader, QList<xcb_atom_t> offered)
        : m_reader(reader), m_atoms(reader.atoms()), m_offered(std::move(offered))
    {}

    std::optional<QList<QUrl>> urls() override
    {
        // File managers that offer both agree on the list; the standard one is preferred.
        if (auto data = readIfOffered(m_atoms.uriList))
            return parseUriList(*data);
        if (auto data = readIfOffered(m_atoms.gnomeCopiedFiles))
            return parseGnomeCopiedFiles(*data);
        return std::nullopt;
    }

    std::optional<QByteArray> tiff() override { return readIfOffered(m_atoms.imageTiff); }
    std::optional<QByteArray> png() override { return readIfOffered(m_atoms.imagePng); }

    std::optional<QString> text() override
    {
        const std::pair<xcb_atom_t, TextEncoding> candidates[] = {
            {m_atoms.textPlainUtf8, TextEncoding::Utf8},
            {m_atoms.utf8String, TextEncoding::Utf8},
            {m_atoms.textPlain, TextEncoding::Utf8},
            {XCB_ATOM_STRING, TextEncoding::Latin1},
        };
        for (const auto &[target, encoding] : candidates) {
            if (auto data = readIfOffered(target))
                return decodeText(*data, encoding);
        }
        return std::nullopt;
    }

    bool isSecret()
    {
        const auto hint = readIfOffered(m_atoms.passwordManagerHint);
        return hint && hint->trimmed() == "secret";
    }

private:
    std::optional<QByteArray> readIfOffered(xcb_atom_t target)
    {
        if (!m_offered.contains(target))
            return std::nullopt;
        return m_reader.read(target);
    }

    SelectionReader &m_reader;
    const Atoms &m_atoms;
    QList<xcb_atom_t> m_offered;
};

} // namespace

std::optional<Payload> captureClipboard(SelectionReader &reader)
{
    if (!reader.beginContent())
        return std::nullopt;
    std::optional<QList<xcb_atom_t>> offered = reader.targets();
    if (!offered) {
        if (reader.isContentGone())
            return std::nullopt;
        // Owners too old for TARGETS still answer the ICCCM text targets.
        offered = QList<xcb_atom_t>{reader.atoms().utf8String, XCB_ATOM_STRING};
    }
    SelectionSource source(reader, std::move(*offered));
    if (source.isSecret())
        return std::nullopt;
    std::optional<Payload> payload = capturePayload(source);
    // A representation that stalled or was too large leaves the whole content unread.
    if (reader.isContentGone())
        return std::nullopt;
    return payload;
}

} // namespace tessary::x11
