// Arcwright: the map and monster names editor.

#include "arcwright/tform1.h"
#include "ui/dialogs.h"
#include "ui/wright_application.h"

int main(int argc, char** argv) {
    wright::ui::WrightApplication app(argc, argv);
    app.setTitle(QStringLiteral("Arcwright-En"));
    wright::ui::QtDialogBackend backend;
    wright::ui::Dialogs dialogs(backend);
    return wright::ui::runGuarded(app, [&] {
        wright::arcwright::TForm1 form(dialogs);
        form.show();
        return app.exec();
    });
}
