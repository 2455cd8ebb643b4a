#include "core/CoreViews.h"

#include "core/Config_Frame.h"
#include "core/Config_Port.h"
#include "core/Config_Prog.h"
#include "core/Help_About.h"
#include "core/Help_Update.h"
#include "core/System_Info.h"
#include "core/User_Main.h"
#include "forms/HCF_Form.h"

namespace qel {

void RegisterCoreViews() {
    static const bool registered = [] {
        HCF_Form::RegisterView<User_Main>(QStringLiteral("User_Main"));
        HCF_Form::RegisterView<Config_Port>(QStringLiteral("Config_Port"));
        HCF_Form::RegisterView<System_Info>(QStringLiteral("System_Info"));
        HCF_Form::RegisterView<Config_Frame>(Config_Frame::kName);
        HCF_Form::RegisterView<Config_Prog>(Config_Prog::kName);
        HCF_Form::RegisterView<Help_Update>(Help_Update::kName);
        HCF_Form::RegisterView<Help_About>(Help_About::kName);
        return true;
    }();
    (void)registered;
}

}  // namespace qel
