// zo_getip.getip: the version text of a program file.
#pragma once

#include "components/Component.h"

namespace zostore::components {

class FileVersionComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("zo_getip.getip");
    FileVersionComponent();

    // "major.minor.build" with minor and build zero-padded, so later versions sort after earlier ones as text.
    // The program's own executable (or its legacy name) answers with the compiled-in version; another
    // file answers with its version file "<name>.ver" beside it, or "" when it has none.
    QString GetFileVer(const QString &path) const;

    static QString programVersion();
    // "major.minor.revision" without padding, for captions.
    static QString programVersionLabel();
    static QString versionText(int major, int minor, int build);
};

} // namespace zostore::components
