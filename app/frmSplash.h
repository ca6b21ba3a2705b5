#pragma once
// The splash window shown while the program starts: the product title with its shadow and the
// version line "Rev major.minor.revision".
#include <QWidget>

namespace app {

// The program's version as "major.minor.revision", from the build.
QString ProgramVersion();

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    static QString VersionLine();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace app
