// The form controller. Every view (window) of the plugin is opened by name through the
// controller of the view that opens it, linked to the data it works on, placed where
// the person left it last time, and closed through it. One controller serves one open
// view; it knows the controller of the view that opened it (its ancestor), so the views
// form a chain from the main window down to the view in front, and it carries a return
// code from a view that gave up back to its opener, which raises it as an error.
//
//   // at start-up, once per view class (the plugin is a static library: no self-registration)
//   HCF_Form::RegisterView<Device_Clock>("Device_Clock");
//
//   // from a view: open a tool modally on a sub-device
//   Form()->OpenForm("Device_Clock", true, subDevice);   // a code it closed with is raised here
//
//   // the root of the chain
//   HCF_Form root;
//   root.OpenForm("User_Main", true, controller);
//
// Views are written against HCF_FormView (forms/HCF_View.h).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace qel {

class PluginError;

class HCF_Form : public QObject {
    Q_OBJECT
  public:
    // Creates a view, given the widget that opens it (nullptr for the root's).
    using Factory = std::function<QWidget*(QWidget* parent)>;

    static void RegisterView(const QString& name, Factory factory);
    template <class View>
    static void RegisterView(const QString& name) {
        RegisterView(name, [](QWidget* parent) -> QWidget* { return new View(parent); });
    }
    static bool IsRegistered(const QString& name);
    // The loaded view of this exact name, or nullptr.
    static QWidget* LoadedView(const QString& name);
    // The controller serving a view, or nullptr.
    static HCF_Form* FormOf(const QWidget* view);

    explicit HCF_Form(QObject* parent = nullptr);
    ~HCF_Form() override;

    // Links this controller to a newly loaded view and places the view where it was last
    // closed (centred the first time). Called by OpenForm; linking twice is refused.
    void Initialise(QWidget* view, HCF_Form* ancestor, QObject* data = nullptr);

    bool DataIsSet() const { return !data_.isNull(); }
    // The data object's class name; "Not Stated" without one.
    QString DataClass() const;
    QObject* DataObject() const { return data_; }
    template <class T>
    T* Data() const {
        return dynamic_cast<T*>(DataObject());
    }

    // Level 0: this controller's own view; level n: the view n steps up the chain.
    QWidget* Ancestor(int level) const;
    QWidget* LinkFrm() const { return view_; }
    HCF_Form* AncestorForm() const { return ancestor_; }
    int32_t ReturnCode() const { return returnCode_; }

    void Hide();

    // Opens the view `name` as a child of this controller's view: the loaded one of that
    // name, else a new one linked to `data`. Modal: returns when it closes. Not modal:
    // hides this controller's view and returns at once. Afterwards a non-zero return
    // code left by a child is raised (ErrRaise). An unknown name is shown under
    // "HCF_Form.Open_Form"; failures of the view's set-up reach the caller as they are.
    void OpenForm(const QString& name, bool modal, QObject* data = nullptr);

    // A child view that this controller's view opened has closed with `code`; `shown`
    // when the child already showed that failure to the person.
    void Continue(int32_t code, bool shown = false);
    // Closes this controller's view, handing `code` to the opener.
    void BugOut(int32_t code);
    // The same with the number of a failure this view handled. One the person has
    // already seen is raised in the opener as shown, so it is not shown a second time.
    void BugOut(const PluginError& failure);
    // The same a little later, for a view whose failure happens inside one of its own
    // events (a list or field handler), which must not close the view from inside.
    void BugOutLater(int32_t code, int delayMs = 1);

  signals:
    // The view was hidden or closed (ends a modal showing).
    void ViewHidden();
    // The close sequence ran: the position was kept, the link dropped, the ancestor told.
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static QWidget* Create(const QString& name, QWidget* parent);
    void Place();
    void KeepPosition() const;
    void CloseSequence();
    void Unload();
    void Discard();
    void ShowModal(QWidget* view);
    void RaiseReturnCode();

    QPointer<QWidget> view_;
    QPointer<HCF_Form> ancestor_;
    QPointer<QObject> data_;
    bool linked_ = false;
    bool closing_ = false;  // a close of the view is under way
    bool shown_ = false;    // the view has been on screen
    int32_t returnCode_ = 0;
    bool returnShown_ = false;      // the failure behind the return code was shown
    int showingChild_ = 0;          // modal showings of children under way
    QPointer<QWidget> closedView_;  // closed during one of them, to delete after
};

}  // namespace qel
