#include "recording_form.h"

#include "ui/fila.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <array>

namespace testform {

namespace {

constexpr fila::Fila field(std::u16string_view name) {
    auto row = fila::caixaText(name);
    row.fons(0xE0E0E0).vora();
    return row;
}

constexpr forms::ControlDef byDefault(forms::ControlDef button) {
    button.isDefault = true;
    return button;
}

constexpr std::array<forms::ControlDef, 6> controlTable{{
    field(u"txtA").posicio(150, 300, 900, 375).maxim(4).ordreTab(0),
    field(u"txtB").posicio(1200, 300, 1500, 375).ordreTab(1),
    fila::boto(u"btnCancel")
        .text(u"Sortir")
        .posicio(1500, 900, 1200, 375)
        .cancelar()
        .ordreTab(3, false),
    byDefault(fila::boto(u"btnOk").text(u"D'acord").posicio(150, 900, 1200, 375).ordreTab(2)),
    fila::etiqueta(u"lblNote").text(u"Nota").posicio(150, 60, 0, 0).autoAjust(),
    fila::quadre(u"picBox").posicio(2800, 900, 150, 150).ordreTab(4),
}};

constexpr std::array<forms::MenuDef, 2> menuTable{{
    {.name = u"mnuFitxer", .caption = u"&Fitxer", .parent = -1},
    {.name = u"mnuObrir", .caption = u"Obrir", .parent = mnuFitxer},
}};

constexpr forms::FormDef formDef{.name = u"frmProva",
                                 .caption = u"Prova",
                                 .clientWidth = 3000,
                                 .clientHeight = 1500,
                                 .backColor = forms::colors::white,
                                 .icon = "icona",
                                 .controls = controlTable,
                                 .menus = menuTable};

std::string nameOf(std::u16string_view name) {
    return std::string(name.begin(), name.end()); // the names are ASCII
}

} // namespace

const forms::FormDef& definition() {
    return formDef;
}

std::vector<std::string> RecordingForm::eventsWith(std::string_view part) const {
    std::vector<std::string> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                 [part](const std::string& event) { return event.find(part) != event.npos; });
    return found;
}

void RecordingForm::record(const char* event, int row, const std::string& detail) {
    events.push_back(std::string(event) + " " +
                     nameOf(formDef.controls[static_cast<std::size_t>(row)].name) + detail);
}

void RecordingForm::onMenuClick(int menu) {
    events.push_back("Menu " + nameOf(formDef.menus[static_cast<std::size_t>(menu)].name));
}

} // namespace testform

void PlatformTest::SetUp() {
    // A test waiting on a modal window that never comes, or never goes, fails
    // here instead of hanging.
    watchdog_.setSingleShot(true);
    QObject::connect(&watchdog_, &QTimer::timeout, [] {
        ADD_FAILURE() << "still waiting after 10 s: closing every window";
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(window)) {
                dialog->done(forms::vbNo);
            } else if (window->isVisible()) {
                window->close();
            }
        }
    });
    watchdog_.start(10'000);
}

void PlatformTest::TearDown() {
    watchdog_.stop();
    form.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PlatformTest::showActive(testform::RecordingForm& shown) {
    runtime.show(shown, false);
    ASSERT_TRUE(QTest::qWaitForWindowActive(windowOf(shown)));
}

void PlatformTest::whenModalIsActive(std::function<void(QWidget&)> action) {
    auto* poll = new QTimer(&watchdog_);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && QApplication::activeWindow() == modal) {
            poll->stop();
            poll->deleteLater();
            action(*modal);
        }
    });
    poll->start(5);
}
