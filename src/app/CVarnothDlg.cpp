#include "app/CVarnothDlg.h"

#include <QCloseEvent>

#include "app/Language.h"
#include "features/DialogBuilder.h"

namespace varnoth {

const DialogTemplate& CVarnothDlg::Template() {
    static const DialogTemplate dialog{kTemplateNumber, "Varnoth v1.5", 579, 378, StandardDialogFont(), {}};
    return dialog;
}

CVarnothDlg::CVarnothDlg(int language, QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    BuildDialog(*this, Template());
    ApplyLanguage(language);
}

void CVarnothDlg::ApplyLanguage(int language) {
    m_nLanguage = language == kChinese ? kChinese : kEnglish;
    varnoth::ApplyLanguage(m_nLanguage, *this);
}

// Enter and Esc do nothing; only the close box ends the window.
void CVarnothDlg::accept() {}

void CVarnothDlg::reject() {}

void CVarnothDlg::closeEvent(QCloseEvent* event) {
    event->accept();
    done(QDialog::Rejected);
}

}  // namespace varnoth
