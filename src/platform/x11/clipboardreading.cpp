#include "clipboardreading.h"

#include "core/capture.h"
#include "platform/formats/mimecontent.h"
#include "selectionreader.h"

namespace tessary::x11 {

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
    // Targets carry MIME type names; those the capture never asks for need no name.
    const Atoms &atoms = reader.atoms();
    QList<QByteArray> names;
    for (xcb_atom_t target : *offered) {
        if (QByteArray name = atoms.nameOf(target); !name.isEmpty())
            names.append(name);
    }
    MimeContentSource source(
        names, [&](const QByteArray &mimeType) { return reader.read(atoms.named(mimeType)); });
    if (source.isSecret())
        return std::nullopt;
    std::optional<Payload> payload = capturePayload(source);
    // A representation that stalled or was too large leaves the whole content unread.
    if (reader.isContentGone())
        return std::nullopt;
    return payload;
}

} // namespace tessary::x11
