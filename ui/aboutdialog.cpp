#include "aboutdialog.h"

#include "icons.h"
#include "ui/versiontext.h"
#include "ui_aboutdialog.h"

#include <QDir>
#include <QEvent>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The program's four-part version, compiled in from the project's version.
const QString kProgramVersion = QStringLiteral(TARVEX_VERSION);

QFont arialOfPixels(int pixels) {
    QFont font(u"Arial"_s);
    font.setPixelSize(pixels);
    return font;
}

} // namespace

AboutDialog::AboutDialog(const QString& appDir, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::AboutDialog>()) {
    m_ui->setupUi(this);
    setFixedSize(size());
    // A fixed window: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowIcon(programIcon());
    QPalette page = palette();
    page.setColor(QPalette::Window, Qt::white);
    setPalette(page);
    setAutoFillBackground(true);

    m_ui->lbProgramName->setFont(arialOfPixels(40));
    QPalette letters = m_ui->lbProgramName->palette();
    letters.setColor(QPalette::WindowText, QColor(0x1e, 0x50, 0xa0));
    m_ui->lbProgramName->setPalette(letters);
    m_ui->lbPurpose->setFont(arialOfPixels(17));
    showVersion();
    showAppFolder(appDir);
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        showVersion();
    QDialog::changeEvent(event);
}

void AboutDialog::showVersion() {
    m_ui->lbVersion->setText(u"версия - "_s + shortVersionText(kProgramVersion));
}

// A long folder is shortened in the middle to fit the window; the tooltip and the accessible
// name carry it whole.
void AboutDialog::showAppFolder(const QString& appDir) {
    const QString caption = u"Папка данных: "_s;
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(appDir));
    QLabel* label = m_ui->lbAppFolder;
    const QFontMetrics metrics(label->font());
    const int room = label->width() - metrics.horizontalAdvance(caption);
    label->setText(caption + metrics.elidedText(folder, Qt::ElideMiddle, room));
    label->setToolTip(folder);
    label->setAccessibleName(caption + folder);
}

} // namespace tarvex
