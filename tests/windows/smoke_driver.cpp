// Drives the installed Windows program from inside, as a Qt "generic" plugin that the smoke
// test (scripts/windows-smoke.sh) has Qt load at start (QT_QPA_GENERIC_PLUGINS=brelosmoke):
// it waits for each window by its template's name, types and clicks as a user does (key and
// mouse events), reads what the windows show and writes it to a report that the script checks
// against the database. Windows that are not Qt's (the system's file chooser, WordPad) are the
// script's. Every wait is bounded; a failure ends the program with a line that says what was
// awaited and what was on screen.
//
// The report, BRELO_SMOKE_DIR\report.txt, one line each, UTF-8:
//   step TEXT                   progress
//   shot NAME                   the script takes a screenshot NAME.png into the folder; the
//                               driver waits for it
//   range FROM TO               the sales overview's date range
//   field ID TEXT               a field's text
//   row ID TEXT<TAB>TEXT...     a row of a list, its columns
//   choose-template             the system's file chooser is about to open
//   await-wordpad NUMBER        the contract NUMBER is about to open in the word processor
//   generate-start MS, generate-returned MS   when "Générer et ouvrir" was pressed and
//                               returned (ms since 1970)
//   done | FAIL TEXT
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kTickMs = 200;

QString u8(const char* text) { return QString::fromUtf8(text); }

class SmokeDriver : public QObject {
public:
    SmokeDriver()
        : folder_(QString::fromLocal8Bit(qgetenv("BRELO_SMOKE_DIR"))),
          report_(QDir(folder_).filePath(u8("report.txt"))) {
        report_.open(QIODevice::WriteOnly | QIODevice::Truncate);
        plan();
        connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
        timer_.start(kTickMs);
    }

private:
    struct Step {
        QString what;  // what the step waits for, for the failure line
        int timeoutMs;
        std::function<bool()> ready;  // polled until true
        std::function<void()> act;
    };

    void write(const QString& line) {
        report_.write(line.toUtf8() + '\n');
        report_.flush();
    }

    [[noreturn]] void fail(const QString& why) {
        QStringList shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) shown << QStringLiteral("%1 \"%2\"").arg(w->objectName(), w->windowTitle());
        write(QStringLiteral("FAIL %1 (windows shown: %2)").arg(why, shown.join(u8(", "))));
        report_.close();
        std::_Exit(3);
    }

    static QWidget* dialog(int id) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == QStringLiteral("dialog_%1").arg(id)) return w;
        return nullptr;
    }
    template <class T>
    static T* control(int dialogId, int id) {
        QWidget* d = dialog(dialogId);
        return d ? d->findChild<T*>(QStringLiteral("ctl_%1").arg(id)) : nullptr;
    }
    template <class T>
    T* mustControl(int dialogId, int id) {
        T* c = control<T>(dialogId, id);
        if (!c) fail(QStringLiteral("no control %1 in dialog %2").arg(id).arg(dialogId));
        return c;
    }
    static int rows(int dialogId, int id) {
        QTreeWidget* list = control<QTreeWidget>(dialogId, id);
        return list ? list->topLevelItemCount() : -1;
    }
    static QString text(int dialogId, int id) {
        QWidget* c = control<QWidget>(dialogId, id);
        return c ? c->property("text").toString() : QString();
    }
    static QMessageBox* messageBox() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                if (auto* box = qobject_cast<QMessageBox*>(w)) return box;
        return nullptr;
    }
    static qint64 now() { return QDateTime::currentMSecsSinceEpoch(); }

    void reportList(int dialogId, int id) {
        QTreeWidget* list = mustControl<QTreeWidget>(dialogId, id);
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            QStringList columns;
            for (int c = 0; c < list->columnCount(); ++c) columns << list->topLevelItem(r)->text(c);
            write(QStringLiteral("row %1 %2").arg(id).arg(columns.join(u'\t')));
        }
    }
    // A key or a click that opens a modal window does not return until it closes: it is sent
    // from the event loop, and the driver's timer goes on ticking inside the window's loop.
    static void later(std::function<void()> action) { QTimer::singleShot(0, qApp, std::move(action)); }
    static void clickRow(QTreeWidget* list, int row) {
        list->scrollToItem(list->topLevelItem(row));
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void typeInto(int dialogId, int id, const QString& value) {
        auto* edit = mustControl<QLineEdit>(dialogId, id);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, value);
    }
    void click(int dialogId, int id) {
        auto* button = mustControl<QAbstractButton>(dialogId, id);
        later([button] { QTest::mouseClick(button, Qt::LeftButton); });
    }
    // A screenshot by the script, awaited.
    void shot(const QString& name) {
        write(QStringLiteral("shot %1").arg(name));
        const QString png = QDir(folder_).filePath(name + QStringLiteral(".png"));
        steps_.insert(steps_.begin() + static_cast<long>(next_), Step{QStringLiteral("screenshot %1").arg(name), 30000,
                                                                      [png] { return QFile::exists(png); }, [] {}});
    }
    void then(const QString& what, int timeoutMs, std::function<bool()> ready, std::function<void()> act) {
        steps_.push_back(Step{what, timeoutMs, std::move(ready), std::move(act)});
    }
    int rowOf(int dialogId, int id, const QString& label) {
        QTreeWidget* list = mustControl<QTreeWidget>(dialogId, id);
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            if (list->topLevelItem(r)->text(0) == label) return r;
        return -1;
    }
    // One row of the contract's list given a value through its editor (Enter on the row).
    void setContractValue(const QString& label, const QString& value) {
        then(
            QStringLiteral("the contract's row %1").arg(label), 10000, [] { return dialog(135) && !dialog(136); },
            [this, label] {
                const int row = rowOf(135, 1033, label);
                if (row < 0) fail(QStringLiteral("no row %1 in the contract").arg(label));
                auto* list = mustControl<QTreeWidget>(135, 1033);
                clickRow(list, row);
                later([list] { QTest::keyClick(list, Qt::Key_Return); });
            });
        then(
            QStringLiteral("the value editor of %1").arg(label), 10000, [] { return dialog(136) != nullptr; },
            [this, value] {
                typeInto(136, 1038, value);
                click(136, 1);
            });
        then(
            QStringLiteral("the value %1 in the row %2").arg(value, label), 10000,
            [this, label, value] {
                const int row = rowOf(135, 1033, label);
                return !dialog(136) && row >= 0 && control<QTreeWidget>(135, 1033)->topLevelItem(row)->text(1) == value;
            },
            [] {});
    }

    void plan() {
        const QString feeLabel = u8("Forfait frais payés par KQ à la compagnie en euros TTC");
        const QString priceLabel = u8("Prix (TTC)");
        // Wine's first start of a program is slow.
        then(
            u8("the login"), 120000, [] { return dialog(134) != nullptr; },
            [this] {
                typeInto(134, 1018, u8("Demo"));
                typeInto(134, 1019, u8("brelo"));
            });
        then(
            u8("the login typed"), 5000, [] { return true; }, [this] { shot(u8("1-login")); });
        then(
            u8("the login's OK"), 5000, [] { return true; }, [this] { click(134, 1); });
        then(
            u8("the sales overview's figures"), 60000,
            [] { return dialog(102) && !dialog(134) && rows(102, 1002) > 0 && !text(102, 1007).isEmpty(); },
            [this] {
                write(u8("step sales overview"));
                const auto* from = mustControl<QDateTimeEdit>(102, 1000);
                const auto* to = mustControl<QDateTimeEdit>(102, 1001);
                const QString form = u8("yyyy-MM-dd HH:mm:ss");
                write(
                    QStringLiteral("range %1 %2").arg(from->dateTime().toString(form), to->dateTime().toString(form)));
                for (int id : {1007, 1008, 1010}) write(QStringLiteral("field %1 %2").arg(id).arg(text(102, id)));
                reportList(102, 1002);
                reportList(102, 1006);
                shot(u8("2-sales"));
            });
        then(
            u8("Manager..."), 5000, [] { return true; }, [this] { click(102, 1012); });
        then(
            u8("the manager's lists"), 60000, [] { return dialog(129) && rows(129, 1019) > 0 && rows(129, 1023) > 0; },
            [this] {
                write(u8("step manager"));
                for (int id : {1019, 1020, 1023, 1026}) reportList(129, id);
                write(QStringLiteral("field caption %1").arg(dialog(129)->windowTitle()));
                shot(u8("3-manager"));
            });
        then(
            u8("a group selected"), 5000, [] { return true; },
            [this] {
                clickRow(mustControl<QTreeWidget>(129, 1023), 0);
                contractsBefore_ = rows(129, 1026);
                write(u8("choose-template"));
                click(129, 1025);
            });
        // The script answers the system's file chooser with contrat_standard.rtf.
        then(
            u8("the contract dialog with its template's rows"), 90000,
            [] { return dialog(135) && rows(135, 1033) > 0; }, [] {});
        setContractValue(priceLabel, u8("1200"));
        setContractValue(feeLabel, u8("150"));
        then(
            u8("the contract filled"), 5000, [] { return true; },
            [this] {
                reportList(135, 1033);
                shot(u8("4-contract"));
            });
        then(
            u8("Générer et ouvrir"), 5000, [] { return true; },
            [this] {
                const int row = rowOf(135, 1033, u8("Numéro de contrat"));
                const QString number = control<QTreeWidget>(135, 1033)->topLevelItem(row)->text(1);
                write(QStringLiteral("await-wordpad %1").arg(number));
                auto* generate = mustControl<QAbstractButton>(135, 1035);
                later([this, generate] {
                    write(QStringLiteral("generate-start %1").arg(now()));
                    QTest::mouseClick(generate, Qt::LeftButton);
                    write(QStringLiteral("generate-returned %1").arg(now()));
                    generated_ = true;
                });
            });
        // The word processor is the script's: it looks, then closes it.
        then(
            u8("the word processor closed"), 120000, [this] { return generated_; }, [this] { click(135, 1); });
        then(
            u8("the contract stored"), 30000, [this] { return !dialog(135) && rows(129, 1026) > contractsBefore_; },
            [this] {
                write(u8("step contract stored"));
                reportList(129, 1026);
                shot(u8("5-manager-contract"));
            });
        then(
            u8("the manager closed"), 5000, [] { return true; },
            [] { later([] { QTest::keyClick(dialog(129), Qt::Key_Escape); }); });
        then(
            u8("the sales overview again"), 30000, [] { return !dialog(129) && dialog(102); },
            [this] {
                write(u8("done"));
                quitting_ = true;
                later([] { QTest::keyClick(dialog(102), Qt::Key_Escape); });
            });
    }

    void tick() {
        if (QMessageBox* box = messageBox()) {
            // The one box expected: "Quitter Brelo ?", at the end.
            if (!quitting_) fail(QStringLiteral("a message box: %1").arg(box->text()));
            if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                later([yes] { QTest::mouseClick(yes, Qt::LeftButton); });
            return;
        }
        if (next_ >= steps_.size()) return;
        if (started_ == 0) started_ = now();
        if (!steps_[next_].ready()) {
            const Step& step = steps_[next_];
            if (now() - started_ > step.timeoutMs)
                fail(QStringLiteral("waited %1 s for %2").arg(step.timeoutMs / 1000).arg(step.what));
            return;
        }
        // Its action may plan a step right after it.
        const std::function<void()> act = steps_[next_].act;
        ++next_;
        started_ = 0;
        act();
    }

    QString folder_;
    QFile report_;
    QTimer timer_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    qint64 started_ = 0;
    int contractsBefore_ = 0;
    bool generated_ = false;
    bool quitting_ = false;
};

class SmokeDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "smoke_driver.json")
public:
    QObject* create(const QString& key, const QString&) override {
        return key.compare(u8("brelosmoke"), Qt::CaseInsensitive) == 0 ? new SmokeDriver : nullptr;
    }
};

}  // namespace

#include "smoke_driver.moc"
