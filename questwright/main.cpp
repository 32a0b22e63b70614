// Questwright: the quest text editor.

#include "questwright/tform1.h"
#include "ui/dialogs.h"
#include "ui/wright_application.h"

int main(int argc, char** argv) {
    wright::ui::WrightApplication app(argc, argv);
    app.setTitle(QStringLiteral("Questwright-En"));
    wright::ui::QtDialogBackend backend;
    wright::ui::Dialogs dialogs(backend);
    return wright::ui::runGuarded(app, [&] {
        wright::questwright::TForm1 form(dialogs);
        form.show();
        return app.exec();
    });
}
