// The plugin module's root object: the host's UDC_Interface, with the identity the host
// reads before loading it (type library, interface and class ids, version block).
#pragma once

#include "core/UDC_Interface.h"

class UDC_InterfacePlugin : public qel::UDC_Interface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "{a2db0841-a8da-4eb8-a8a5-a02628bb4d7c}" FILE "UDC_Interface.json")
};
