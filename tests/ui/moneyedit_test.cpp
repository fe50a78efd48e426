// A real TMoneyEdit typed into key by key.
#include "controls/moneyedit.h"
#include "ui/uitest.h"

class MoneyEditTest : public QObject
{
    Q_OBJECT
  private slots:
    void typesTheWorkedExample()
    {
        QWidget window;
        auto *field = new TMoneyEdit(&window);
        auto *other = new QLineEdit(&window);
        other->move(0, 40);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(field->text(), QStringLiteral("0.00"));
        QVERIFY(field->textAsFloat().isZero());

        other->setFocus();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(field->cursorPosition(), 1);

        const QStringList expected = {"5.00",     "51.00",    "512.00",   "5,123.00",
                                      "5,123.00", "5,123.40", "5,123.45", "5,123.45"};
        const QString keys = QStringLiteral("5123.456");
        for (int i = 0; i < keys.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), keys[i].toLatin1());
            QCOMPARE(field->text(), expected[i]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(field->text(), QStringLiteral("5,123.40"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(field->text(), QStringLiteral("512.00"));
        QCOMPARE(field->textAsFloat(), Decimal(512));
        // Enter is swallowed; the text stays.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(field->text(), QStringLiteral("512.00"));
    }

    void keepsItsInvariants()
    {
        TMoneyEdit field;
        field.setTextAsFloat(Decimal::fromText(u"1234.567"));
        QCOMPARE(field.text(), QStringLiteral("1,234.57"));
        field.setTextAsFloat(Decimal(-5));
        QCOMPARE(field.text(), QStringLiteral("-5.00"));
        QCOMPARE(field.textAsFloat(), Decimal(-5));
        field.setTextAsFloat(Decimal(1000));
        QCOMPARE(field.text().at(1), QLatin1Char(','));

        QCOMPARE(field.maxLength(), 20);
        field.setDecimals(0);
        QCOMPARE(field.decimals(), 2);
        field.setMaxLength(22);
        QCOMPARE(field.maxLength(), 20);
        field.setMaxLength(19); // room 16 is a multiple of 4
        QCOMPARE(field.maxLength(), 18);
        QCOMPARE(field.formatPattern(), QStringLiteral("#,##0.00"));

        field.setText(QStringLiteral("1234.5"));
        QCOMPARE(field.textAsFloat(), Decimal::fromText(u"123.45"));
        field.setText(QStringLiteral("abc"));
        QVERIFY(field.textAsFloat().isZero());
    }
};

SARVEK_TEST_MAIN(MoneyEditTest)
#include "moneyedit_test.moc"
