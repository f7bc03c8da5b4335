#include "qt/Fonts.h"

#include <QStringList>

namespace kelmor {

QFont ControlFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace kelmor
