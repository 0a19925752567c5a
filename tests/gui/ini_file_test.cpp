#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "gui/widgets/ini_file_reader.h"
#include "gui_tests.h"

namespace qv::gui::test {
namespace {

class IniFileTest : public QObject {
    Q_OBJECT

private slots:
    void emptyValuesGiveNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Main.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[screen]\nmain = back.jpg\nMask=\n");
        file.close();

        const SkinIniFile ini(path);
        QCOMPARE(ini.GetString(u"SCREEN", u"MAIN").value_or(QString()), QStringLiteral("back.jpg"));
        QVERIFY(!ini.GetString(u"SCREEN", u"Mask", u"fallback").has_value());
        QVERIFY(!ini.GetString(u"SCREEN", u"Link").has_value());
        QCOMPARE(ini.GetString(u"SCREEN", u"Link", u"x").value_or(QString()), QStringLiteral("x"));
        const SkinIniFile missing(dir.filePath(QStringLiteral("none.ini")));
        QVERIFY(!missing.GetString(u"SCREEN", u"Main").has_value());
    }

    void longValuesAreCutAndWritesReadBack() {
        QTemporaryDir dir;
        SkinIniFile ini;
        ini.SetPath(dir.filePath(QStringLiteral("Skin.ini")));
        const QString longValue(3000, u'\u00e9');
        QVERIFY(ini.WriteString(u"SCREEN", u"Main", longValue));
        const auto read = ini.GetString(u"screen", u"main");
        QVERIFY(read.has_value());
        QCOMPARE(read->size(), qsizetype{2047});
        QCOMPARE(*read, longValue.left(2047));
    }
};

}  // namespace

std::unique_ptr<QObject> MakeIniFileTest() {
    return std::make_unique<IniFileTest>();
}

}  // namespace qv::gui::test

#include "ini_file_test.moc"
