#pragma once

#include <QDialog>

#include "features/DialogTemplate.h"

namespace varnoth {

// The main window.
class CVarnothDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 229;
    static const DialogTemplate& Template();

    // language: the stored setting; 0 Chinese, anything else English.
    explicit CVarnothDlg(int language, QWidget* parent = nullptr);

    int Language() const { return m_nLanguage; }
    void ApplyLanguage(int language);

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    int m_nLanguage = 0;
};

}  // namespace varnoth
