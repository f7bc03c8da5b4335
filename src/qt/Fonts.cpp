#include "qt/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

// Outside any namespace, as the resource's initialiser must be.
static QString RegisterBuiltInFonts() {
    Q_INIT_RESOURCE(Fonts);
    QString family;
    for (const char* file :
         {":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        if (family.isEmpty() && id >= 0)
            family = QFontDatabase::applicationFontFamilies(id).value(0);
    }
    return family;
}

namespace kelmor {

QString WindowFontFamily() {
    static const QString FAMILY = RegisterBuiltInFonts();
    return FAMILY;
}

QFont ControlFont(int pixelSize, bool bold) {
    // The built-in family alone: no font the machine happens to have is
    // preferred to it (the others serve only characters it lacks).
    QFont font(WindowFontFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace kelmor
