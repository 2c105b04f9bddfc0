#include "analysis/testdefinition.h"

#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/inifile.h"

#include <QCoreApplication>

namespace {

// A count below 0 means nothing and one above the limit is surely a typo that would build huge
// grids; both become 0, and the reason is kept for the user.
qint32 acceptedCount(qint32 count, qint32 limit, const QString &key, const QString &noun, const QString &unit,
                     QStringList *problems)
{
    if (count < 0) {
        problems->append(QStringLiteral("%1 (%2) w pliku Setup.ini jest ujemna (%3); program przyjmuje 0 %4.")
                             .arg(noun, key)
                             .arg(count)
                             .arg(unit));
        return 0;
    }
    if (count > limit) {
        problems->append(
            QStringLiteral("%1 (%2) w pliku Setup.ini wynosi %3, a dopuszczalne jest najwyżej %4; "
                           "program przyjmuje 0 %5.")
                .arg(noun, key)
                .arg(count)
                .arg(limit)
                .arg(unit));
        return 0;
    }
    return count;
}

// The number of a numbered section, "3" of "Zadanie3": messages name a task or a standard by its
// number, as the definition window does, not by the file's section.
QStringView numberOf(QStringView section)
{
    qsizetype digits = section.size();
    while (digits > 0 && section.at(digits - 1).isDigit())
        --digits;
    return section.mid(digits);
}

// A negative maximum or one beyond the limit cannot be meant; it becomes 0, which the
// statistics report as a failed division rather than as a wrong facility. Whose maximum it is,
// "testu" or "zadania nr 3", is said in words.
qint32 acceptedMaximum(qint32 points, qint32 limit, const QString &whose, QStringList *problems)
{
    if (points >= 0 && points <= limit)
        return points;
    problems->append(
        QStringLiteral("Maksymalna liczba punktów %1 w pliku Setup.ini wynosi %2, a dopuszczalne "
                       "są wartości od 0 do %3; program przyjmuje 0.")
            .arg(whose)
            .arg(points)
            .arg(limit));
    return 0;
}

// The workbook counts standards 1 to 5 only: the teacher must know which tasks that leaves out.
QString beyondCountedStandards(const TestDefinition &def)
{
    const qint32 limit = TestDefinition::countedStandardLimit;
    QStringList tasks;
    for (qint32 t = 0; t < def.taskCount; ++t) {
        const qint32 k = def.taskStandards.value(t);
        if (k > limit && k <= def.standardCount)
            tasks.append(QStringLiteral("%1 (standard %2)").arg(def.taskLabels.value(t)).arg(k));
    }
    QString text = QStringLiteral("Plik Setup.ini określa %1 standardów (LiczbaStandardow), a program liczy "
                                  "wyniki tylko standardów od 1 do %2: tyle mieszczą tabele, pliki wyników "
                                  "i wykresy. ")
                       .arg(def.standardCount)
                       .arg(limit);
    if (tasks.isEmpty())
        return text + QStringLiteral("Żadne zadanie nie należy do standardów od %1 do %2.")
                          .arg(limit + 1)
                          .arg(def.standardCount);
    return text + QStringLiteral("Te zadania nie należą więc do żadnego standardu i nie wchodzą do sumy "
                                 "„Razem”: %1.")
                      .arg(tasks.join(QStringLiteral(", ")));
}

// The key of a task's section; a key that cannot be used is told and left out, so that the task's
// points are typed as before.
TaskKey readTaskKey(const IniSection &ini, QStringView section, bool closed, qint32 maxPoints,
                    QStringList *problems)
{
    TaskKey key;
    key.key = ini.readString(u"Klucz", QString()).trimmed().toUpper();
    if (key.key.isEmpty())
        return {};
    if (!closed) {
        problems->append(QStringLiteral("Zadanie nr %1 w pliku Setup.ini jest otwarte, a ma klucz; "
                                        "program pomija klucz.")
                             .arg(numberOf(section)));
        return {};
    }
    key.answers = ini.readString(u"Odpowiedzi", QString()).trimmed().toUpper();
    if (key.answers.isEmpty())
        key.answers = closedanswers::defaultAnswers(key.key);
    key.pointPerPart = ini.readBool(u"PunktZaCzesc", false);
    const QString problem = closedanswers::keyProblem(key, maxPoints);
    if (!problem.isEmpty()) {
        problems->append(QStringLiteral("Klucz zadania nr %1 w pliku Setup.ini: %2 Program pomija klucz.")
                             .arg(numberOf(section), problem));
        return {};
    }
    return key;
}

// The test's requirements; one without a code, with a separator in its code, repeated, or naming
// a general requirement the list lacks is told and left out, so that every code a task names is
// unambiguous.
void readRequirements(const IniFile &ini, TestDefinition *def)
{
    const qint32 count =
        acceptedCount(ini.readInteger(QStringLiteral("Ustawienia"), QStringLiteral("LiczbaWymagan"), 0),
                      TestDefinition::maxRequirementCount, QStringLiteral("LiczbaWymagan"),
                      QStringLiteral("Liczba wymagań"), QStringLiteral("wymagań"), &def->problems);
    for (qint32 i = 0; i < count; ++i) {
        const NumberedName name(u"Wymaganie", i + 1);
        const QStringView section = name;
        const IniSection keys = ini.section(section);
        Requirement r{keys.readString(u"Kod", QString()).trimmed(),
                      keys.readString(u"Opis", QString()).trimmed(),
                      keys.readString(u"Ogolne", QString()).trimmed()};
        QString fault;
        if (r.code.isEmpty())
            fault = QStringLiteral("nie ma kodu");
        else if (r.code.contains(u';') || r.code.contains(u','))
            fault =
                QStringLiteral("ma w kodzie „%1” średnik lub przecinek, które rozdzielają kody").arg(r.code);
        else if (def->requirementIndex(r.code) >= 0)
            fault = QStringLiteral("powtarza kod „%1”").arg(r.code);
        if (!fault.isEmpty()) {
            def->problems.append(QStringLiteral("Wymaganie nr %1 w pliku Setup.ini %2; program je pomija.")
                                     .arg(numberOf(section), fault));
            continue;
        }
        def->requirements.append(r);
    }
    // A general requirement may be listed after the specific ones that name it.
    for (Requirement &r : def->requirements) {
        if (r.general.isEmpty())
            continue;
        const qsizetype g = def->requirementIndex(r.general);
        if (g < 0 || def->requirements[g].code == r.code) {
            def->problems.append(QStringLiteral("Wymaganie „%1” w pliku Setup.ini należy do wymagania "
                                                "ogólnego „%2”, którego nie ma wśród wymagań testu; "
                                                "program pomija to przypisanie.")
                                     .arg(r.code, r.general));
            r.general.clear();
        } else {
            r.general = def->requirements[g].code;
        }
    }
}

// The codes a task's section lists, spelt as the requirements list spells them; an unknown code is
// told and left out.
QStringList readTaskRequirements(const IniSection &ini, QStringView section, const TestDefinition &def,
                                 QStringList *problems)
{
    QStringList codes;
    for (const QString &code : requirementCodes(ini.readString(u"Wymagania", QString()))) {
        const qsizetype r = def.requirementIndex(code);
        if (r < 0)
            problems->append(QStringLiteral("Zadanie nr %1 w pliku Setup.ini sprawdza wymaganie „%2”, "
                                            "którego nie ma wśród wymagań testu; program je pomija.")
                                 .arg(numberOf(section), code));
        else if (!codes.contains(def.requirements[r].code))
            codes.append(def.requirements[r].code);
    }
    return codes;
}

// The key's value, or "Zad.12" and the like when it is absent (made only then).
QString valueOrNumbered(const IniSection &section, QStringView key, QStringView prefix, qint32 number)
{
    if (std::optional<QString> value = section.value(key))
        return *value;
    return NumberedName(prefix, number).toString();
}

// Task number's section, [Zadanie<number>], appended to the test's lists.
void readTask(const IniFile &ini, qint32 number, TestDefinition *def)
{
    const NumberedName name(u"Zadanie", number);
    const QStringView section = name;
    const IniSection keys = ini.section(section);
    QString label = valueOrNumbered(keys, u"Etykieta", u"Zad.", number);
    // The label heads its column in the class's results file, where a semicolon would part it
    // into two fields: the file would no longer fit the test and the class would be left out.
    if (label.contains(u';')) {
        def->problems.append(QStringLiteral("Etykieta zadania nr %1 w pliku Setup.ini zawiera średnik, który "
                                            "rozdziela pola w plikach wyników; program zastępuje go "
                                            "przecinkiem.")
                                 .arg(numberOf(section)));
        label.replace(u';', u',');
    }
    def->taskLabels.append(label);
    const qint32 standard = keys.readInteger(u"KategoriaStandardu", 1);
    // Such a task still counts in the whole test, but in no standard: the teacher must know.
    // Without any standards the count's own message says enough.
    if (def->standardCount > 0 && (standard < 1 || standard > def->standardCount))
        def->problems.append(QStringLiteral("Zadanie nr %1 należy według pliku Setup.ini do standardu %2, a "
                                            "standardy są numerowane od 1 do %3; zadanie nie wejdzie do "
                                            "wyników żadnego standardu.")
                                 .arg(numberOf(section))
                                 .arg(standard)
                                 .arg(def->standardCount));
    def->taskStandards.append(standard);
    def->taskMaxPoints.append(acceptedMaximum(keys.readInteger(u"MaxPunktow", 1),
                                              TestDefinition::maxTaskPoints,
                                              QStringLiteral("zadania nr %1").arg(number), &def->problems));
    def->taskClosed.append(keys.readBool(u"ZadanieZamkniete", true));
    def->taskKeys.append(
        readTaskKey(keys, section, def->taskClosed.last(), def->taskMaxPoints.last(), &def->problems));
    def->taskRequirements.append(readTaskRequirements(keys, section, *def, &def->problems));
}

} // namespace

QStringList requirementCodes(QStringView cell)
{
    QStringList codes;
    if (cell.isEmpty()) // as most tasks' cells are
        return codes;
    for (const QStringView part : cell.tokenize(u';')) {
        for (const QStringView code : part.tokenize(u',')) {
            const QStringView trimmed = code.trimmed();
            if (!trimmed.isEmpty())
                codes.append(trimmed.toString());
        }
    }
    return codes;
}

TestDefinition loadTestDefinitionFrom(const QString &iniPath)
{
    return loadTestDefinition(IniFile::load(iniPath));
}

TestDefinition loadTestDefinition(const IniFile &ini)
{
    TestDefinition def;

    const QString settings = QStringLiteral("Ustawienia");
    def.taskCount = acceptedCount(ini.readInteger(settings, QStringLiteral("LiczbaZadan"), 25),
                                  TestDefinition::maxTaskCount, QStringLiteral("LiczbaZadan"),
                                  QStringLiteral("Liczba zadań"), QStringLiteral("zadań"), &def.problems);
    def.standardCount =
        acceptedCount(ini.readInteger(settings, QStringLiteral("LiczbaStandardow"), 5),
                      TestDefinition::maxStandardCount, QStringLiteral("LiczbaStandardow"),
                      QStringLiteral("Liczba standardów"), QStringLiteral("standardów"), &def.problems);
    def.maxTotalPoints =
        acceptedMaximum(ini.readInteger(settings, QStringLiteral("MaxLiczbaPunktow"), 40),
                        TestDefinition::maxSumPoints, QStringLiteral("testu"), &def.problems);
    def.testName = ini.readString(settings, QStringLiteral("NazwaTestu"), QStringLiteral("Test"));
    def.testDate = ini.readString(settings, QStringLiteral("DataTestu"), QStringLiteral("2003-12-12"));
    readRequirements(ini, &def);

    def.taskLabels.reserve(def.taskCount);
    def.taskStandards.reserve(def.taskCount);
    def.taskMaxPoints.reserve(def.taskCount);
    def.taskClosed.reserve(def.taskCount);
    def.taskKeys.reserve(def.taskCount);
    def.taskRequirements.reserve(def.taskCount);
    for (qint32 i = 0; i < def.taskCount; ++i)
        readTask(ini, i + 1, &def);

    // Shown first: it explains figures in every window, and a long list of other problems is cut.
    if (def.standardCount > TestDefinition::countedStandardLimit)
        def.problems.prepend(beyondCountedStandards(def));

    for (qint32 i = 0; i < def.standardCount; ++i) {
        const NumberedName name(u"Standard", i + 1);
        const IniSection keys = ini.section(name);
        def.standardMaxPoints.append(
            acceptedMaximum(keys.readInteger(u"MaxPunktow", 1), TestDefinition::maxSumPoints,
                            QStringLiteral("standardu nr %1").arg(i + 1), &def.problems));
        def.standardAbbreviations.append(valueOrNumbered(keys, u"Skrot", u"St.", i + 1));
        def.standardDescriptions.append(valueOrNumbered(keys, u"Opis", u"Standard ", i + 1));
    }
    return def;
}

namespace {
// The file is written line by line into one text, each line ended by CR LF.
void appendLine(QString *text, QStringView key, QStringView value)
{
    text->append(key);
    text->append(value);
    text->append(u"\r\n");
}

void appendNumberLine(QString *text, QStringView key, qint64 value)
{
    appendLine(text, key, NumberedName(QStringView(), value));
}

// A section's heading after the blank line that parts it from the one before.
void appendHeading(QString *text, QStringView prefix, qint64 number)
{
    text->append(u"\r\n[");
    appendLine(text, NumberedName(prefix, number), u"]");
}

void appendTask(QString *text, const TestDefinition &def, qint32 i)
{
    appendHeading(text, u"Zadanie", i + 1);
    appendLine(text, u"Etykieta=", def.taskLabels.value(i));
    appendNumberLine(text, u"KategoriaStandardu=", def.taskStandards.value(i));
    appendNumberLine(text, u"MaxPunktow=", def.taskMaxPoints.value(i));
    appendNumberLine(text, u"ZadanieZamkniete=", def.taskClosed.value(i) ? 1 : 0);
    // Only a keyed task has these lines, so that a test without keys is written as it always was.
    const TaskKey &key = def.keyOf(i);
    if (key.isKeyed()) {
        appendLine(text, u"Klucz=", key.key);
        appendLine(text, u"Odpowiedzi=", key.answers);
        if (key.pointPerPart)
            appendLine(text, u"PunktZaCzesc=1", QStringView());
    }
    if (!def.taskRequirements.value(i).isEmpty())
        appendLine(text, u"Wymagania=", def.taskRequirements[i].join(QStringLiteral("; ")));
}
} // namespace

QByteArray testDefinitionFileBytes(const TestDefinition &def)
{
    QString text;
    text.reserve((qMax(def.taskCount, 0) + def.requirements.size() + 16) * 100);
    appendLine(&text, u"[Ustawienia]", QStringView());
    appendLine(&text, u"NazwaTestu=", def.testName);
    appendLine(&text, u"DataTestu=", def.testDate);
    appendNumberLine(&text, u"LiczbaZadan=", def.taskCount);
    appendNumberLine(&text, u"LiczbaStandardow=", def.standardCount);
    appendNumberLine(&text, u"MaxLiczbaPunktow=", def.maxTotalPoints);
    // Written only for a test with requirements, so that one without them keeps its bytes.
    if (!def.requirements.isEmpty())
        appendNumberLine(&text, u"LiczbaWymagan=", def.requirements.size());
    for (qint32 i = 0; i < def.taskCount; ++i)
        appendTask(&text, def, i);
    for (qint32 i = 0; i < def.standardCount; ++i) {
        appendHeading(&text, u"Standard", i + 1);
        appendNumberLine(&text, u"MaxPunktow=", def.standardMaxPoints.value(i));
        appendLine(&text, u"Skrot=", def.standardAbbreviations.value(i));
        appendLine(&text, u"Opis=", def.standardDescriptions.value(i));
    }
    for (qsizetype i = 0; i < def.requirements.size(); ++i) {
        const Requirement &r = def.requirements[i];
        appendHeading(&text, u"Wymaganie", i + 1);
        appendLine(&text, u"Kod=", r.code);
        appendLine(&text, u"Opis=", r.description);
        if (!r.general.isEmpty())
            appendLine(&text, u"Ogolne=", r.general);
    }
    return cp1250::encode(text);
}

QString problemsMessage(const QStringList &problems)
{
    constexpr qsizetype shown = 10;
    QStringList lines = problems.first(qMin(problems.size(), shown));
    if (problems.size() > shown)
        lines.append(QStringLiteral("Dalszych uwag: %1.").arg(problems.size() - shown));
    return lines.join(u'\n');
}

QString setupIniPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Setup.ini");
}
