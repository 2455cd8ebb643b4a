// A view that Escape closes, as its own close button does. A dialog on its own only hides
// on Escape, which would leave the view loaded behind the person's back.
#pragma once

#include "forms/HCF_View.h"

#include <QCloseEvent>

namespace qel {

class ClosingDialog : public HCF_Dialog {
  protected:
    using HCF_Dialog::HCF_Dialog;

    void closeEvent(QCloseEvent* event) override {
        closing_ = true;
        HCF_Dialog::closeEvent(event);
        closing_ = false;
    }
    void reject() override {
        if (closing_) {
            HCF_Dialog::reject();
        } else {
            close();
        }
    }

  private:
    bool closing_ = false;
};

}  // namespace qel
