#include "clipboardreading.h"

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
    return captureOffered(
        names, [&](const QByteArray &mimeType) { return reader.read(atoms.named(mimeType)); },
        [&reader] { return reader.isContentGone(); });
}

} // namespace tessary::x11
