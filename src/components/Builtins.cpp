// Registration of the built-in components.
#include "components/Builtins.h"

#include "components/FileVersionComponent.h"
#include "components/FormatGridComponent.h"
#include "components/LoginComponent.h"
#include "components/items/ItemFilter.h"
#include "components/items/ItemGroupTree.h"
#include "components/MessageComponents.h"
#include "components/export/ExportComponent.h"
#include "components/PageSetComponent.h"
#include "components/labels/DesignerComponent.h"
#include "components/labels/LabelListComponent.h"
#include "components/labels/PrinterSetupComponent.h"
#include "components/labels/LabelPrintComponent.h"
#include "components/Registry.h"
#include "components/printer/PrintComponent.h"
#include "components/supertextbox/SuperTextboxComponent.h"

namespace zostore::components {

namespace {

template <class T> void add() {
    Registry::instance().registerFactory(T::ProgId, [] { return std::make_shared<T>(); });
}

} // namespace

void registerBuiltinComponents() {
    static bool done = false;
    if (done)
        return;
    done = true;
    add<LoginComponent>();
    add<FileVersionComponent>();
    add<MessageComponent>();
    add<ReceiveMsgComponent>();
    add<PageSetComponent>();
    add<FormatGridComponent>();
    add<PrintComponent>();
    add<SuperTextboxComponent>();
    add<labels::LabelPrintComponent>();
    add<labels::LabelListComponent>();
    add<labels::DesignerComponent>();
    add<labels::PrinterSetupComponent>();
    add<items::ItemGroupTreeComponent>();
    add<items::ItemFilterComponent>();
    add<ExportComponent>();
}

} // namespace zostore::components
