// The view contract, and the base that every view is written on.
//
// A view receives its controller through Control. The base keeps it and runs the check
// that every view makes: data of the view's class runs the view's own set-up
// (Initialise); data of another class fails with "Class object "X" not handled"; no data
// does nothing. Failures are handled under "<view name>.Control (Set)": a local error is
// shown, lost devices and connections go to the opener unchanged, anything else is shown
// and passed on. A view that takes no data (dataClass empty) runs its set-up always.
//
//   class Device_Clock : public HCF_Dialog {
//       Q_OBJECT
//   public:
//       explicit Device_Clock(QWidget* parent = nullptr) : HCF_Dialog(parent, "RDM_SubDev") {
//           // build the controls, each with its name as object name
//       }
//   protected:
//       void Initialise() override { subDevice_ = Data<RDM_SubDev>(); ... }
//   };
//
// The controller names the view (its object name) after the name it was registered with.
// Views are deleted when they close.
#pragma once

#include "forms/HCF_Form.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <utility>

namespace qel {

class HCF_View {
  public:
    virtual ~HCF_View() = default;
    // Receives the view's controller (the `Control` property).
    virtual void Control(HCF_Form* form) = 0;
    // A child view that this view opened has closed. Optional.
    virtual void Continue() {}
};

namespace detail {
void ControlSet(QWidget* view, HCF_Form* form, const QString& dataClass,
                const std::function<void()>& initialise);
}  // namespace detail

template <class Window>
class HCF_FormView : public Window, public HCF_View {
  public:
    void Control(HCF_Form* form) override {
        form_ = form;
        detail::ControlSet(this, form, dataClass_, [this] { Initialise(); });
    }
    HCF_Form* Form() const { return form_; }

  protected:
    explicit HCF_FormView(QWidget* parent = nullptr, QString dataClass = {})
        : Window(parent), dataClass_(std::move(dataClass)) {}

    // The view's own set-up, run when its controller arrives with data of its class.
    virtual void Initialise() {}

    template <class T>
    T* Data() const {
        return form_ ? form_->template Data<T>() : nullptr;
    }
    void BugOut(int32_t code) {
        if (form_) form_->BugOut(code);
    }
    void BugOut(const PluginError& failure) {
        if (form_) form_->BugOut(failure);
    }
    void BugOutLater(int32_t code, int delayMs = 1) {
        if (form_) form_->BugOutLater(code, delayMs);
    }

  private:
    QPointer<HCF_Form> form_;
    QString dataClass_;
};

using HCF_Dialog = HCF_FormView<QDialog>;
using HCF_MainWindow = HCF_FormView<QMainWindow>;

}  // namespace qel
