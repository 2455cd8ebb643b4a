#include "core/CoreViews.h"

#include "core/Config_Port.h"
#include "core/System_Info.h"
#include "core/User_Main.h"
#include "forms/HCF_Form.h"

namespace qel {

void RegisterCoreViews() {
    static const bool registered = [] {
        HCF_Form::RegisterView<User_Main>(QStringLiteral("User_Main"));
        HCF_Form::RegisterView<Config_Port>(QStringLiteral("Config_Port"));
        HCF_Form::RegisterView<System_Info>(QStringLiteral("System_Info"));
        return true;
    }();
    (void)registered;
}

}  // namespace qel
