#pragma once
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace kelmor {

// Registers the pictures compiled into the library; call once before the
// first window is built.
void InitPictures();

// A picture of the resource folder (e.g. "logo") drawn at `size` pixels.
QPixmap RenderPicture(const QString& name, QSize size, qreal devicePixelRatio = 1.0);
// The same picture faded to grey, as a disabled tool button shows it.
QPixmap GreyedPicture(const QPixmap& picture);
// A tool-button icon with its own greyed variant for the disabled state.
QIcon ToolIcon(const QString& name, QSize size, qreal devicePixelRatio = 1.0);
// The window icon in the usual sizes.
QIcon ProgramIcon();

} // namespace kelmor
