#include "forms/HCF_View.h"

#include "core/ErrHandler.h"
#include "core/Text.h"

namespace qel::detail {

void ControlSet(QWidget* view, HCF_Form* form, const QString& dataClass,
                const std::function<void()>& initialise) {
    using namespace ErrTrap;
    Handler handler{view->objectName() + QStringLiteral(".Control (Set)"),
                    {On(ErrAPI_DeviceMissig, ErrSYS_Comms, ErrSYS_SubDev, ErrSYS_Device).passOn()}};
    handler.run([&] {
        if (!form) return;
        if (dataClass.isEmpty()) {
            initialise();
            return;
        }
        if (!form->DataIsSet()) return;
        const QString given = form->DataClass();
        if (given != dataClass)
            LocalError(QStringLiteral("Class object ") + Quote(given) +
                       QStringLiteral(" not handled"));
        initialise();
    });
}

}  // namespace qel::detail
