#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QImageReader;

// Reading pictures the way every view shows them: upright (an EXIF orientation is applied, so a
// photo taken sideways comes out standing), and decoded no larger than they are drawn.
namespace tessary::images {

// The size the picture has once upright, from its header alone; invalid when Qt cannot read it.
QSize uprightSize(QImageReader &reader);

// The picture upright, scaled down to fit inside `box` with its proportions kept (never up; a
// side of zero or less leaves that side free). Null when it is no image; `errorString` says why.
QImage readUpright(QImageReader &reader, QSize box = {}, QString *errorString = nullptr);
QImage readUpright(const QByteArray &bytes, QSize box = {}, QString *errorString = nullptr);
QImage readUprightFile(const QString &path, QSize box = {}, QString *errorString = nullptr);

} // namespace tessary::images
