#include "analysis/testdefinitionfile.h"

#include "analysis/testdefinition.h"
#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/inifile.h"

#include <QRegularExpression>

namespace {

const QString settingsSection = QStringLiteral("Ustawienia");
const std::array<QString, 4> bandKeys{QStringLiteral("Trudne"), QStringLiteral("UmiarkowanieTrudne"),
                                      QStringLiteral("Latwe"), QStringLiteral("BardzoLatwe")};
const std::array<QString, 4> bandNames{QStringLiteral("Trudne"), QStringLiteral("Umiarkowanie trudne"),
                                       QStringLiteral("Łatwe"), QStringLiteral("Bardzo łatwe")};

// The window's own sections: "Ustawienia", "Zadanie12" and the like, without regard to case.
bool isEditedSection(QStringView name)
{
    if (!QtPrivate::isAscii(name)) {
        // Case folding takes a few other letters to ASCII ones ("ſ" to "s"); the expression knows
        // them all. Every section the window writes is ASCII and never comes here.
        static const QRegularExpression edited(
            QStringLiteral("^(Ustawienia|Zadanie\\d+|Standard\\d+|Wymaganie\\d+|PrzedzialyLatwosci|Staniny|"
                           "StaninyUczniow|Porownanie)$"),
            QRegularExpression::CaseInsensitiveOption);
        return edited.match(name.toString()).hasMatch();
    }
    for (const QStringView word :
         {QStringView(u"Ustawienia"), QStringView(u"PrzedzialyLatwosci"), QStringView(u"Staniny"),
          QStringView(u"StaninyUczniow"), QStringView(u"Porownanie")}) {
        if (name.compare(word, Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const QStringView prefix :
         {QStringView(u"Zadanie"), QStringView(u"Standard"), QStringView(u"Wymaganie")}) {
        if (name.size() > prefix.size() && name.startsWith(prefix, Qt::CaseInsensitive) &&
            std::all_of(name.begin() + prefix.size(), name.end(),
                        [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return true;
    }
    return false;
}

// A text that goes into the file as one value and reads back the same.
QString textProblem(const QString &text)
{
    if (text.size() > IniFile::maxValueLength)
        return QStringLiteral("tekst jest dłuższy niż %1 znaków.").arg(IniFile::maxValueLength);
    // Plain ASCII, as most texts are, has its controls below the blank and at DEL, and every
    // character in the code page.
    const bool ascii = QtPrivate::isAscii(QStringView(text));
    for (const QChar c : text) {
        const bool control = ascii ? c.unicode() < 0x20 || c.unicode() == 0x7F
                                   : c.category() == QChar::Other_Control || c == u'\n' || c == u'\r';
        if (control)
            return QStringLiteral("tekst zawiera znak sterujący lub koniec wiersza.");
        if (c == u';')
            return QStringLiteral("średnik rozdziela pola w plikach wyników i nie może być częścią tekstu.");
        if (!ascii && !cp1250::canEncode(c))
            return QStringLiteral("znaku „%1” nie da się zapisać w kodowaniu Windows-1250.").arg(c);
    }
    return QString();
}

// The program's reader drops only blanks and tabs around a value: a number with any other space
// around it (a vertical tab, a no-break space) is one it does not read, and must not pass for one.
QString blanksTrimmed(const QString &text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const QChar *first = text.cbegin();
    const QChar *last = text.cend();
    while (first != last && blank(*first))
        ++first;
    while (last != first && blank(last[-1]))
        --last;
    return text.mid(first - text.cbegin(), last - first);
}

// The number as the file writes it: the text itself when it is written so already, as most are.
QString asWritten(const QString &text, qint32 value)
{
    const NumberedName written(QStringView(), value);
    return text == QStringView(written) ? text : written.toString();
}

QString acceptedWhole(const QString &text, int lowest, int highest, QString *problem)
{
    problem->clear();
    // A lone digit within the range, as most cells hold, is taken as it stands.
    if (text.size() == 1 && text.front() >= u'0' && text.front() <= u'9') {
        const int digit = text.front().unicode() - u'0';
        if (digit >= lowest && digit <= highest)
            return text;
    }
    const QString trimmed = text.trimmed();
    const std::optional<qint32> value = parseInteger(blanksTrimmed(text));
    if (trimmed.isEmpty())
        *problem =
            QStringLiteral("pole nie może być puste; wpisz liczbę od %1 do %2.").arg(lowest).arg(highest);
    else if (!value)
        *problem = QStringLiteral("„%1” nie jest liczbą całkowitą.").arg(trimmed);
    else if (*value < 0 && lowest >= 0)
        *problem = QStringLiteral("liczba nie może być ujemna (%1).").arg(*value);
    else if (*value < lowest || *value > highest)
        *problem = QStringLiteral("%1 leży poza dopuszczalnym zakresem od %2 do %3.")
                       .arg(*value)
                       .arg(lowest)
                       .arg(highest);
    else
        return asWritten(text, *value);
    return QString();
}

// A decimal with a comma or a full stop, at most two decimals: the analysis rounds bounds to
// hundredths, so a finer one would not read back as typed.
std::optional<double> decimalOf(const QString &text, QString *problem)
{
    QString number = text;
    number.replace(u',', u'.');
    const std::optional<double> value =
        decimalFormLength(number, false) == number.size() ? parseDecimal(number) : std::nullopt;
    if (!value) {
        *problem = QStringLiteral("„%1” nie jest liczbą.").arg(text);
        return std::nullopt;
    }
    const qsizetype point = number.indexOf(u'.');
    if (point >= 0 && number.size() - point - 1 > 2) {
        *problem = QStringLiteral("„%1” ma więcej niż dwa miejsca po przecinku.").arg(text);
        return std::nullopt;
    }
    if (*value < 0.0) {
        *problem = QStringLiteral("liczba nie może być ujemna (%1).").arg(text);
        return std::nullopt;
    }
    return value;
}

double decimalValue(const QString &text)
{
    QString number = text;
    number.replace(u',', u'.');
    return parseDecimal(number).value_or(0.0);
}

int wholeValue(const QString &text)
{
    return parseInteger(text).value_or(0);
}

// A stanine table as the analysis reads it: all nine or none, Stanin2 may equal Stanin1.
QString stanineTableProblem(const std::array<QString, 9> &table, const QString &whose)
{
    int given = 0;
    for (const QString &value : table)
        given += value.isEmpty() ? 0 : 1;
    if (given == 0)
        return QString();
    const QString where = QStringLiteral("Tabela staninów %1: ").arg(whose);
    if (given < 9)
        return where + QStringLiteral("trzeba wpisać wszystkie dziewięć granic albo żadnej.");
    for (int k = 0; k < 9; ++k) {
        QString problem;
        if (!decimalOf(table[k], &problem))
            return where + QStringLiteral("stanin %1: ").arg(k + 1) + problem;
        const double value = decimalValue(table[k]);
        const double previous = k > 0 ? decimalValue(table[k - 1]) : 0.0;
        if (k == 1 ? value < previous : k > 1 && value <= previous)
            return where + QStringLiteral("granice muszą rosnąć (stanin %1: %2, stanin %3: %4).")
                               .arg(k)
                               .arg(table[k - 1])
                               .arg(k + 1)
                               .arg(table[k]);
    }
    return QString();
}

QString bandBoundsProblem(const std::array<QString, 4> &bounds)
{
    int given = 0;
    for (const QString &value : bounds)
        given += value.isEmpty() ? 0 : 1;
    if (given == 0)
        return QString();
    const QString where = QStringLiteral("Przedziały łatwości: ");
    if (given < 4)
        return where + QStringLiteral("trzeba wpisać wszystkie cztery granice albo żadnej.");
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        QString problem;
        if (acceptedOptionalField(OptionalField::BandBound, bounds[i], &problem).isEmpty())
            return where + bandNames[i] + QStringLiteral(": ") + problem;
        if (i > 0 && decimalValue(bounds[i]) <= decimalValue(bounds[i - 1]))
            return where + QStringLiteral("granice muszą rosnąć (%1: %2, %3: %4).")
                               .arg(bandNames[i - 1], bounds[i - 1], bandNames[i], bounds[i]);
    }
    return QString();
}

// Blank lines between sections are the writer's to put.
QStringList trimmedBlankLines(QStringList lines)
{
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    while (!lines.isEmpty() && lines.first().trimmed().isEmpty())
        lines.removeFirst();
    return lines;
}

// Setup.ini as the window writes it: line by line into one text, each line ended by CR LF.
class DefinitionWriter
{
public:
    explicit DefinitionWriter(const TestDefinitionFile &definition)
        : m_definition(definition),
          m_withComments(std::any_of(definition.sectionComments.cbegin(), definition.sectionComments.cend(),
                                     [](const QStringList &lines) { return !lines.isEmpty(); }))
    {
        m_text.reserve((definition.tasks.size() + 16) * 100);
    }

    void line(QStringView line)
    {
        m_text.append(line);
        m_text.append(u"\r\n");
    }

    void lines(const QStringList &lines)
    {
        for (const QString &text : lines)
            line(text);
    }

    // A section's heading, after a blank line unless it opens the file, with the comments read above
    // it.
    void heading(QStringView name)
    {
        if (!m_text.isEmpty())
            line(QStringView());
        if (m_withComments)
            lines(m_definition.sectionComments.value(name.toString().toLower()));
        m_text.append(u'[');
        m_text.append(name);
        line(u"]");
    }

    // Windows drops one pair of matching quotation marks around a value, and blanks around it: a
    // value that has them gets one more pair, so that it reads back as written.
    void key(QStringView key, const QString &value)
    {
        m_text.append(key);
        m_text.append(u'=');
        const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                            value.back() == value.front();
        const bool blanks = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
        if (quoted || blanks)
            m_text += u'"' + value + u'"';
        else
            m_text += value;
        m_text.append(u"\r\n");
    }

    void section(QStringView name, std::initializer_list<std::pair<QStringView, QString>> keys)
    {
        heading(name);
        for (const auto &[k, value] : keys)
            key(k, value);
    }

    // Every line ends in CR LF; a file of no lines would still have its one line break.
    QByteArray bytes() const { return cp1250::encode(m_text.isEmpty() ? QStringLiteral("\r\n") : m_text); }

private:
    const TestDefinitionFile &m_definition;
    // Most files have no comments: then no section is looked up, which would make its name in lower
    // case.
    bool m_withComments;
    QString m_text;
};

bool allEmpty(const auto &fields)
{
    for (const QString &value : fields) {
        if (!value.isEmpty())
            return false;
    }
    return true;
}

DefinitionTask defaultTask(int number)
{
    DefinitionTask task;
    task.label = NumberedName(u"Zad.", number).toString();
    return task;
}

} // namespace

namespace {
// A key or the answers: letters, upper case; X is the mark that cannot be read.
QString acceptedSymbols(TaskColumn column, const QString &trimmed, QString *problem)
{
    const QString symbols = trimmed.toUpper();
    for (const QChar c : symbols) {
        if (!c.isLetter() || c == QChar(closedanswers::unreadable)) {
            *problem = QStringLiteral("„%1”: wpisz same litery odpowiedzi, bez spacji i bez X (X oznacza "
                                      "odpowiedź nieczytelną), np. B, PF albo ABCD.")
                           .arg(trimmed);
            return QString();
        }
        if (column == TaskColumn::Answers && symbols.count(c) > 1) {
            *problem = QStringLiteral("„%1”: odpowiedź %2 powtarza się.").arg(trimmed, QString(c));
            return QString();
        }
    }
    return symbols;
}
} // namespace

QString taskColumnName(TaskColumn column)
{
    switch (column) {
    case TaskColumn::Label:
        return QStringLiteral("Etykieta");
    case TaskColumn::Points:
        return QStringLiteral("Punkty");
    case TaskColumn::Standard:
        return QStringLiteral("Standard");
    case TaskColumn::Closed:
        return QStringLiteral("Zamknięte");
    case TaskColumn::Key:
        return QStringLiteral("Klucz");
    case TaskColumn::Answers:
        return QStringLiteral("Odpowiedzi");
    case TaskColumn::Requirements:
        return QStringLiteral("Wymagania");
    case TaskColumn::PointPerPart:
        return QStringLiteral("Za część");
    }
    return QString();
}

QString requirementColumnName(RequirementColumn column)
{
    switch (column) {
    case RequirementColumn::Code:
        return QStringLiteral("Kod");
    case RequirementColumn::Description:
        return QStringLiteral("Opis");
    case RequirementColumn::General:
        return QStringLiteral("Ogólne");
    }
    return QString();
}

QString &requirementCell(DefinitionRequirement &requirement, RequirementColumn column)
{
    switch (column) {
    case RequirementColumn::Code:
        return requirement.code;
    case RequirementColumn::Description:
        return requirement.description;
    case RequirementColumn::General:
        break;
    }
    return requirement.general;
}

QString standardColumnName(StandardColumn column)
{
    switch (column) {
    case StandardColumn::Abbreviation:
        return QStringLiteral("Skrót");
    case StandardColumn::Description:
        return QStringLiteral("Opis");
    case StandardColumn::Points:
        return QStringLiteral("Punkty");
    }
    return QString();
}

TestDefinitionFile newTestDefinitionFile(int taskCount)
{
    TestDefinitionFile definition;
    definition.name = QStringLiteral("Nowy test");
    for (int k = 0; k < TestDefinitionFile::maxStandards; ++k) {
        definition.standards[k].abbreviation = QStringLiteral("St.%1").arg(k + 1);
        definition.standards[k].description = QStringLiteral("Standard %1").arg(k + 1);
    }
    // Every task starts in standard 1; more standards come as tasks are put in them.
    definition.standardCount = 1;
    setTaskCount(&definition, taskCount);
    reconcileSums(&definition);
    return definition;
}

void fitStandardCount(TestDefinitionFile *definition)
{
    QString problem;
    for (const DefinitionTask &task : std::as_const(definition->tasks)) {
        const QString standard = acceptedTaskCell(TaskColumn::Standard, task.standard, &problem);
        if (!standard.isEmpty())
            definition->standardCount = qMax(definition->standardCount, wholeValue(standard));
    }
}

void setTaskCount(TestDefinitionFile *definition, int count)
{
    count = qBound(0, count, TestDefinition::maxTaskCount);
    while (definition->tasks.size() > count)
        definition->tasks.removeLast();
    while (definition->tasks.size() < count)
        definition->tasks.append(defaultTask(int(definition->tasks.size()) + 1));
}

namespace {

// The comments read above each of the window's own sections, by the section's name in lower case;
// the first section of a name has them. Only a file with some comment has any, so that one without
// makes no name in lower case.
void keepSectionComments(const QList<std::pair<QStringView, QStringList>> &edited,
                         TestDefinitionFile *definition)
{
    if (std::all_of(edited.cbegin(), edited.cend(),
                    [](const auto &section) { return section.second.isEmpty(); }))
        return;
    for (const auto &[name, comments] : edited) {
        QString lower = name.toString().toLower();
        if (!definition->sectionComments.contains(lower))
            definition->sectionComments.insert(std::move(lower), comments);
    }
}

// The lines the window does not edit, found by the same line and section rules the reader keeps.
void keepUneditedLines(QStringView text, TestDefinitionFile *definition)
{
    QStringList *current = &definition->preamble;
    // Comments above a heading of the window's own sections go with it, as Setup.ini explains each
    // section above it; those among its keys are lost when it is written again.
    QStringList comments;
    QList<std::pair<QStringView, QStringList>> edited;
    bool inEdited = false;
    forEachIniLine(text, [&](QStringView line) {
        const QStringView trimmed = line.trimmed();
        const qsizetype close = trimmed.startsWith(u'[') ? trimmed.lastIndexOf(u']') : -1;
        if (close > 0) {
            const QStringView name = trimmed.sliced(1, close - 1).trimmed();
            // Comments right above a heading are its own; a blank line parts them from the lines of
            // what comes before.
            while (!inEdited && !current->isEmpty() && current->last().trimmed().startsWith(u';'))
                comments.prepend(current->takeLast());
            inEdited = isEditedSection(name);
            if (inEdited) {
                edited.append({name, trimmedBlankLines(std::move(comments))});
            } else {
                definition->otherSections.append(trimmedBlankLines(std::move(comments)));
                current = &definition->otherSections.last();
                current->append(line.toString());
            }
            comments.clear();
            return;
        }
        if (!inEdited)
            current->append(line.toString());
        else if (trimmed.startsWith(u';') || (trimmed.isEmpty() && !comments.isEmpty()))
            comments.append(line.toString()); // blank lines before any comment are dropped anyway
        else if (!trimmed.isEmpty())
            comments.clear();
    });
    keepSectionComments(edited, definition);
    definition->epilogue = trimmedBlankLines(std::move(comments));
    definition->preamble = trimmedBlankLines(std::move(definition->preamble));
    for (QStringList &section : definition->otherSections)
        section = trimmedBlankLines(std::move(section));
}

void readDefinitionRequirements(const IniFile &ini, TestDefinitionFile *definition, QStringList *problems)
{
    qint32 count = ini.readInteger(settingsSection, QStringLiteral("LiczbaWymagan"), 0);
    if (count < 0 || count > TestDefinition::maxRequirementCount) {
        if (problems)
            problems->append(QStringLiteral("Liczba wymagań w pliku (%1) leży poza zakresem od 0 do %2; "
                                            "wczytano 0 wymagań.")
                                 .arg(count)
                                 .arg(TestDefinition::maxRequirementCount));
        count = 0;
    }
    for (int i = 1; i <= count; ++i) {
        const IniSection section = ini.section(NumberedName(u"Wymaganie", i));
        definition->requirements.append({section.readString(u"Kod", QString()),
                                         section.readString(u"Opis", QString()),
                                         section.readString(u"Ogolne", QString())});
    }
}

// Standards at the end with neither a task nor points (a file that always listed five) would make
// every computation divide by 0: the window leaves them out, and says so.
void dropUnusedLastStandards(TestDefinitionFile *definition, QStringList *problems)
{
    const int before = definition->standardCount;
    const auto unused = [definition](int k) {
        QString problem;
        if (acceptedStandardCell(StandardColumn::Points, definition->standards[k - 1].points, &problem) !=
            QStringLiteral("0"))
            return false;
        const NumberedName number(QStringView(), k);
        return std::none_of(definition->tasks.cbegin(), definition->tasks.cend(),
                            [&number](const DefinitionTask &task) {
                                return QStringView(task.standard).trimmed() == QStringView(number);
                            });
    };
    while (definition->standardCount > 1 && unused(definition->standardCount))
        --definition->standardCount;
    if (problems && definition->standardCount < before)
        problems->append(QStringLiteral("Standardy od %1 do %2 nie mają zadań ani punktów; okno przyjęło %3 "
                                        "(Liczba standardów).")
                             .arg(definition->standardCount + 1)
                             .arg(before)
                             .arg(definition->standardCount == 1
                                      ? QStringLiteral("jeden standard")
                                      : QStringLiteral("%1 standardy").arg(definition->standardCount)));
}

// The key's value, or "Zad.12" and the like when it is absent (made only then).
QString valueOrNumbered(const IniSection &section, QStringView key, QStringView prefix, int number)
{
    if (std::optional<QString> value = section.value(key))
        return *value;
    return NumberedName(prefix, number).toString();
}

DefinitionTask readDefinitionTask(const IniFile &ini, int number)
{
    const IniSection section = ini.section(NumberedName(u"Zadanie", number));
    DefinitionTask task;
    task.label = valueOrNumbered(section, u"Etykieta", u"Zad.", number);
    task.points = section.readString(u"MaxPunktow", QStringLiteral("1"));
    task.standard = section.readString(u"KategoriaStandardu", QStringLiteral("1"));
    // Read as the program reads it: any whole number but 0 is a closed task.
    task.closed = section.readBool(u"ZadanieZamkniete", true) ? QStringLiteral("tak") : QStringLiteral("nie");
    task.key = section.readString(u"Klucz", QString());
    task.answers = section.readString(u"Odpowiedzi", QString());
    task.pointPerPart =
        section.readBool(u"PunktZaCzesc", false) ? QStringLiteral("tak") : QStringLiteral("nie");
    task.requirements =
        requirementCodes(section.readString(u"Wymagania", QString())).join(QStringLiteral("; "));
    return task;
}

} // namespace

TestDefinitionFile readTestDefinitionFile(const QByteArray &windows1250Bytes, QStringList *problems)
{
    const IniFile ini = IniFile::fromBytes(windows1250Bytes);
    TestDefinitionFile definition;
    definition.name = ini.readString(settingsSection, QStringLiteral("NazwaTestu"), QStringLiteral("Test"));
    definition.date =
        ini.readString(settingsSection, QStringLiteral("DataTestu"), QStringLiteral("2003-12-12"));
    definition.maxTotalPoints =
        ini.readString(settingsSection, QStringLiteral("MaxLiczbaPunktow"), QStringLiteral("40"));

    qint32 taskCount = ini.readInteger(settingsSection, QStringLiteral("LiczbaZadan"), 25);
    if (taskCount < 0 || taskCount > TestDefinition::maxTaskCount) {
        if (problems)
            problems->append(QStringLiteral("Liczba zadań w pliku (%1) leży poza zakresem od 0 do %2; "
                                            "wczytano 0 zadań.")
                                 .arg(taskCount)
                                 .arg(TestDefinition::maxTaskCount));
        taskCount = 0;
    }
    const qint32 standardCount = ini.readInteger(settingsSection, QStringLiteral("LiczbaStandardow"), 5);
    definition.standardCount = qBound(1, standardCount, TestDefinitionFile::maxStandards);
    if (standardCount != definition.standardCount && problems)
        problems->append(QStringLiteral("Plik określa %1 standardów (LiczbaStandardow); okno definicji testu "
                                        "przyjmuje od 1 do %2 standardów, więc przyjęło %3.")
                             .arg(standardCount)
                             .arg(TestDefinitionFile::maxStandards)
                             .arg(definition.standardCount));
    readDefinitionRequirements(ini, &definition, problems);

    definition.tasks.reserve(taskCount);
    for (int t = 1; t <= taskCount; ++t)
        definition.tasks.append(readDefinitionTask(ini, t));
    for (int k = 0; k < TestDefinitionFile::maxStandards; ++k) {
        const IniSection section = ini.section(NumberedName(u"Standard", k + 1));
        DefinitionStandard &standard = definition.standards[k];
        standard.abbreviation = valueOrNumbered(section, u"Skrot", u"St.", k + 1);
        standard.description = valueOrNumbered(section, u"Opis", u"Standard ", k + 1);
        standard.points = section.readString(u"MaxPunktow", QStringLiteral("1"));
    }
    const IniSection bands = ini.section(u"PrzedzialyLatwosci");
    for (std::size_t i = 0; i < bandKeys.size(); ++i)
        definition.bandBounds[i] = bands.readString(bandKeys[i], QString());
    const IniSection stanines = ini.section(u"Staniny");
    const IniSection pupilStanines = ini.section(u"StaninyUczniow");
    for (int k = 0; k < 9; ++k) {
        const NumberedName key(u"Stanin", k + 1);
        definition.stanines[k] = stanines.readString(key, QString());
        definition.pupilStanines[k] = pupilStanines.readString(key, QString());
    }
    definition.comparisonThreshold =
        ini.readString(QStringLiteral("Porownanie"), QStringLiteral("Prog"), QString());
    dropUnusedLastStandards(&definition, problems);

    keepUneditedLines(ini.text(), &definition);
    return definition;
}

namespace {
// A row the teacher left empty is no requirement.
QList<DefinitionRequirement> writtenRequirements(const TestDefinitionFile &definition)
{
    QList<DefinitionRequirement> written;
    for (const DefinitionRequirement &r : definition.requirements)
        if (!r.code.trimmed().isEmpty() || !r.description.trimmed().isEmpty() ||
            !r.general.trimmed().isEmpty())
            written.append(r);
    return written;
}
// The requirements' sections, each general requirement spelt as its own code.
void writeRequirements(DefinitionWriter *file, const QList<DefinitionRequirement> &requirements)
{
    for (qsizetype i = 0; i < requirements.size(); ++i) {
        const DefinitionRequirement &r = requirements[i];
        file->heading(NumberedName(u"Wymaganie", i + 1));
        file->key(u"Kod", r.code.trimmed());
        file->key(u"Opis", r.description.trimmed());
        if (const QString general = r.general.trimmed(); !general.isEmpty()) {
            // Spelt as the general requirement's own code.
            const auto same = [&general](const DefinitionRequirement &g) {
                return g.code.trimmed().compare(general, Qt::CaseInsensitive) == 0;
            };
            const auto found = std::find_if(requirements.cbegin(), requirements.cend(), same);
            file->key(u"Ogolne", found != requirements.cend() ? found->code.trimmed() : general);
        }
    }
}

void writeTask(DefinitionWriter *file, const DefinitionTask &task, int number)
{
    file->heading(NumberedName(u"Zadanie", number));
    file->key(u"Etykieta", task.label);
    file->key(u"KategoriaStandardu", task.standard.trimmed());
    file->key(u"MaxPunktow", task.points.trimmed());
    file->key(u"ZadanieZamkniete",
              task.closed == QStringLiteral("nie") ? QStringLiteral("0") : QStringLiteral("1"));
    // Only a keyed task has these lines: a test without keys is written as it always was.
    if (const QString key = task.key.trimmed().toUpper(); !key.isEmpty()) {
        const QString answers = task.answers.trimmed().toUpper();
        file->key(u"Klucz", key);
        file->key(u"Odpowiedzi", answers.isEmpty() ? closedanswers::defaultAnswers(key) : answers);
        if (task.pointPerPart == QStringLiteral("tak"))
            file->key(u"PunktZaCzesc", QStringLiteral("1"));
    }
    if (const QStringList codes = requirementCodes(task.requirements); !codes.isEmpty())
        file->key(u"Wymagania", codes.join(QStringLiteral("; ")));
}

// The optional sections, each only when one of its fields is filled in.
void writeOptionalSections(DefinitionWriter *file, const TestDefinitionFile &definition)
{
    // Decimals with the full stop, as the shipped Setup.ini writes them.
    auto decimal = [](const QString &value) { return value.trimmed().replace(u',', u'.'); };
    if (!allEmpty(definition.bandBounds)) {
        file->heading(u"PrzedzialyLatwosci");
        for (std::size_t i = 0; i < bandKeys.size(); ++i)
            file->key(bandKeys[i], decimal(definition.bandBounds[i]));
    }
    auto stanineSection = [&](QStringView name, const std::array<QString, 9> &table) {
        if (allEmpty(table))
            return;
        file->heading(name);
        for (int k = 0; k < 9; ++k)
            file->key(NumberedName(u"Stanin", k + 1), decimal(table[k]));
    };
    stanineSection(u"Staniny", definition.stanines);
    stanineSection(u"StaninyUczniow", definition.pupilStanines);
    if (!definition.comparisonThreshold.isEmpty())
        file->section(u"Porownanie", {{u"Prog", definition.comparisonThreshold.trimmed()}});
}
} // namespace

QByteArray testDefinitionFileBytes(const TestDefinitionFile &definition)
{
    // Numbers are written without the blanks a quoted value may bring, which the readers of numbers
    // would refuse.
    DefinitionWriter file(definition);
    file.lines(definition.preamble);
    const QList<DefinitionRequirement> requirements = writtenRequirements(definition);
    file.section(settingsSection, {{u"NazwaTestu", definition.name},
                                   {u"DataTestu", definition.date},
                                   {u"LiczbaZadan", QString::number(definition.tasks.size())},
                                   {u"LiczbaStandardow", QString::number(definition.standardCount)},
                                   {u"MaxLiczbaPunktow", definition.maxTotalPoints.trimmed()}});
    // Only a test with requirements has the count, so that one without them keeps its bytes.
    if (!requirements.isEmpty())
        file.key(u"LiczbaWymagan", QString::number(requirements.size()));
    for (int t = 0; t < definition.tasks.size(); ++t)
        writeTask(&file, definition.tasks[t], t + 1);
    for (int k = 0; k < definition.standardCount; ++k) {
        const DefinitionStandard &standard = definition.standards[k];
        file.section(NumberedName(u"Standard", k + 1), {{u"Skrot", standard.abbreviation},
                                                        {u"Opis", standard.description},
                                                        {u"MaxPunktow", standard.points.trimmed()}});
    }
    writeRequirements(&file, requirements);
    writeOptionalSections(&file, definition);
    for (const QStringList &section : definition.otherSections) {
        file.line(QStringView());
        file.lines(section);
    }
    if (!definition.epilogue.isEmpty()) {
        file.line(QStringView());
        file.lines(definition.epilogue);
    }
    return file.bytes();
}

QString &taskCell(DefinitionTask &task, TaskColumn column)
{
    switch (column) {
    case TaskColumn::Label:
        return task.label;
    case TaskColumn::Points:
        return task.points;
    case TaskColumn::Standard:
        return task.standard;
    case TaskColumn::Closed:
        break;
    case TaskColumn::Key:
        return task.key;
    case TaskColumn::Answers:
        return task.answers;
    case TaskColumn::Requirements:
        return task.requirements;
    case TaskColumn::PointPerPart:
        return task.pointPerPart;
    }
    return task.closed;
}

const QString &taskCell(const DefinitionTask &task, TaskColumn column)
{
    return taskCell(const_cast<DefinitionTask &>(task), column);
}

QString acceptedTaskCell(TaskColumn column, const QString &text, QString *problem)
{
    problem->clear();
    const QString trimmed = text.trimmed();
    switch (column) {
    case TaskColumn::Label:
        if (trimmed.isEmpty())
            *problem = QStringLiteral("etykieta zadania nie może być pusta.");
        else
            *problem = textProblem(trimmed);
        return problem->isEmpty() ? trimmed : QString();
    case TaskColumn::Points:
        return acceptedWhole(text, 1, TestDefinition::maxTaskPoints, problem);
    case TaskColumn::Standard:
        return acceptedWhole(text, 1, TestDefinitionFile::maxStandards, problem);
    case TaskColumn::Key:
    case TaskColumn::Answers:
        return acceptedSymbols(column, trimmed, problem);
    case TaskColumn::Requirements:
        // Checked against the requirements by acceptedRequirementsCell; here only tidied.
        return requirementCodes(trimmed).join(QStringLiteral("; "));
    case TaskColumn::PointPerPart:
        if (trimmed.isEmpty())
            return QStringLiteral("nie");
        [[fallthrough]];
    case TaskColumn::Closed: {
        static const QStringList closedWords{QStringLiteral("tak"),       QStringLiteral("t"),
                                             QStringLiteral("z"),         QStringLiteral("1"),
                                             QStringLiteral("zamknięte"), QStringLiteral("zamkniete"),
                                             QStringLiteral("zamknięta")};
        static const QStringList openWords{QStringLiteral("nie"),     QStringLiteral("n"),
                                           QStringLiteral("o"),       QStringLiteral("0"),
                                           QStringLiteral("otwarte"), QStringLiteral("otwarta")};
        const QString word = trimmed.toLower();
        if (closedWords.contains(word))
            return QStringLiteral("tak");
        if (openWords.contains(word))
            return QStringLiteral("nie");
        if (column == TaskColumn::PointPerPart)
            *problem = QStringLiteral("„%1” nie mówi, czy każda dobra część daje punkt; wpisz „tak” "
                                      "lub „nie”.")
                           .arg(trimmed);
        else
            *problem = QStringLiteral("„%1” nie mówi, czy zadanie jest zamknięte; wpisz „tak” (albo Z, 1) "
                                      "lub „nie” (albo O, 0).")
                           .arg(trimmed);
        return QString();
    }
    }
    return QString();
}

QString acceptedStandardCell(StandardColumn column, const QString &text, QString *problem)
{
    problem->clear();
    const QString trimmed = text.trimmed();
    switch (column) {
    case StandardColumn::Abbreviation:
        if (trimmed.isEmpty())
            *problem = QStringLiteral("skrót standardu nie może być pusty.");
        else
            *problem = textProblem(trimmed);
        return problem->isEmpty() ? trimmed : QString();
    case StandardColumn::Description:
        *problem = textProblem(trimmed);
        return problem->isEmpty() ? trimmed : QString();
    case StandardColumn::Points:
        return acceptedWhole(text, 0, TestDefinition::maxSumPoints, problem);
    }
    return QString();
}

QString acceptedOptionalField(OptionalField field, const QString &text, QString *problem)
{
    problem->clear();
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QString();
    if (field == OptionalField::Threshold)
        return acceptedWhole(text, 1, 100, problem);
    const std::optional<double> value = decimalOf(trimmed, problem);
    if (!value)
        return QString();
    if (field == OptionalField::BandBound && (*value <= 0.0 || *value > 1.0)) {
        *problem =
            QStringLiteral("granica przedziału łatwości musi być większa od 0 i nie większa niż 1 (%1).")
                .arg(trimmed);
        return QString();
    }
    return trimmed;
}

QString acceptedName(const QString &text, QString *problem)
{
    const QString trimmed = text.trimmed();
    *problem = trimmed.isEmpty() ? QStringLiteral("nazwa testu nie może być pusta.") : textProblem(trimmed);
    return problem->isEmpty() ? trimmed : QString();
}

QString acceptedDate(const QString &text, QString *problem)
{
    const QString trimmed = text.trimmed();
    *problem = textProblem(trimmed);
    return problem->isEmpty() ? trimmed : QString();
}

QString acceptedTotal(const QString &text, QString *problem)
{
    return acceptedWhole(text, 0, TestDefinition::maxSumPoints, problem);
}

SumsCheck checkSums(const TestDefinitionFile &definition)
{
    SumsCheck check;
    QString problem;
    for (const DefinitionTask &task : definition.tasks) {
        const QString points = acceptedTaskCell(TaskColumn::Points, task.points, &problem);
        if (points.isEmpty())
            continue;
        check.taskSum += wholeValue(points);
        const QString standard = acceptedTaskCell(TaskColumn::Standard, task.standard, &problem);
        if (!standard.isEmpty())
            check.standardSums[wholeValue(standard) - 1] += wholeValue(points);
    }
    QStringList perStandard;
    for (int k = 0; k < definition.standardCount; ++k)
        perStandard.append(QString::number(check.standardSums[k]));
    check.summary = QStringLiteral("Suma punktów zadań: %1 (%2: %3).")
                        .arg(check.taskSum)
                        .arg(definition.standardCount == 1
                                 ? QStringLiteral("standard 1")
                                 : QStringLiteral("standardy 1–%1").arg(definition.standardCount))
                        .arg(perStandard.join(QStringLiteral(", ")));
    const QString total = acceptedTotal(definition.maxTotalPoints, &problem);
    if (total.isEmpty() || wholeValue(total) != check.taskSum)
        check.mismatches.append(
            QStringLiteral("Maksymalna liczba punktów testu (%1) nie równa się sumie punktów "
                           "zadań (%2).")
                .arg(definition.maxTotalPoints, QString::number(check.taskSum)));
    for (int k = 0; k < definition.standardCount; ++k) {
        const DefinitionStandard &standard = definition.standards[k];
        const QString points = acceptedStandardCell(StandardColumn::Points, standard.points, &problem);
        if (points.isEmpty() || wholeValue(points) != check.standardSums[k])
            check.mismatches.append(
                QStringLiteral("Standard %1 (%2): maksimum %3, a suma punktów jego zadań %4.")
                    .arg(QString::number(k + 1), standard.abbreviation, standard.points,
                         QString::number(check.standardSums[k])));
    }
    return check;
}

void reconcileSums(TestDefinitionFile *definition)
{
    const SumsCheck check = checkSums(*definition);
    definition->maxTotalPoints = QString::number(check.taskSum);
    for (int k = 0; k < TestDefinitionFile::maxStandards; ++k)
        definition->standards[k].points = QString::number(check.standardSums[k]);
}

namespace {
// Why a task's key cannot be used, or an empty text.
QString keyProblem(const DefinitionTask &task)
{
    QString problem;
    const QString key = acceptedTaskCell(TaskColumn::Key, task.key, &problem);
    if (!problem.isEmpty() || key.isEmpty())
        return problem;
    if (task.closed == QStringLiteral("nie"))
        return QStringLiteral("klucz ma tylko zadanie zamknięte; usuń klucz albo wpisz „tak” w kolumnie "
                              "„Zamknięte”.");
    const QString answers = acceptedTaskCell(TaskColumn::Answers, task.answers, &problem);
    if (!problem.isEmpty())
        return problem;
    const QString perPart = acceptedTaskCell(TaskColumn::PointPerPart, task.pointPerPart, &problem);
    if (!problem.isEmpty())
        return problem;
    const QString points = acceptedTaskCell(TaskColumn::Points, task.points, &problem);
    const TaskKey taskKey{key, answers.isEmpty() ? closedanswers::defaultAnswers(key) : answers,
                          perPart == QStringLiteral("tak")};
    return closedanswers::keyProblem(taskKey, points.isEmpty() ? 0 : points.toInt());
}
} // namespace

namespace {
// Every standard of the test needs a task and a maximum above 0: the statistics divide by it.
QStringList standardUseProblems(const TestDefinitionFile &definition)
{
    QStringList problems;
    // Without tasks, that is the one thing to say.
    if (definition.tasks.isEmpty())
        return problems;
    if (definition.standardCount < 1 || definition.standardCount > TestDefinitionFile::maxStandards)
        problems.append(QStringLiteral("Liczba standardów: wpisz liczbę od 1 do %1.")
                            .arg(TestDefinitionFile::maxStandards));
    std::array<int, TestDefinitionFile::maxStandards> taskCounts{};
    QString problem;
    for (int t = 0; t < definition.tasks.size(); ++t) {
        const QString standard =
            acceptedTaskCell(TaskColumn::Standard, definition.tasks[t].standard, &problem);
        if (standard.isEmpty())
            continue;
        const int k = wholeValue(standard);
        if (k > definition.standardCount)
            problems.append(QStringLiteral("Zadanie %1, Standard: test ma %2 (Liczba standardów), a zadanie "
                                           "należy do standardu %3.")
                                .arg(t + 1)
                                .arg(definition.standardCount == 1
                                         ? QStringLiteral("jeden standard")
                                         : QStringLiteral("%1 standardy").arg(definition.standardCount))
                                .arg(k));
        else
            ++taskCounts[k - 1];
    }
    for (int k = 0; k < definition.standardCount && k < TestDefinitionFile::maxStandards; ++k) {
        const DefinitionStandard &standard = definition.standards[k];
        const QString points = acceptedStandardCell(StandardColumn::Points, standard.points, &problem);
        if (taskCounts[k] == 0)
            problems.append(
                QStringLiteral("Standard %1 (%2) nie ma żadnego zadania: przypisz mu zadania albo "
                               "zmniejsz liczbę standardów.")
                    .arg(k + 1)
                    .arg(standard.abbreviation));
        else if (!points.isEmpty() && wholeValue(points) == 0)
            problems.append(QStringLiteral("Standard %1 (%2) ma maksimum 0 punktów: wpisz sumę punktów jego "
                                           "zadań albo kliknij „Uzgodnij sumy”.")
                                .arg(k + 1)
                                .arg(standard.abbreviation));
    }
    const QString total = acceptedTotal(definition.maxTotalPoints, &problem);
    if (!definition.tasks.isEmpty() && !total.isEmpty() && wholeValue(total) == 0)
        problems.append(QStringLiteral("Maksymalna liczba punktów testu wynosi 0: wpisz sumę punktów zadań "
                                       "albo kliknij „Uzgodnij sumy”."));
    return problems;
}

// The requirements' codes are unique and plain, a general one is listed, and every code a task
// names is among them.
QStringList requirementProblems(const TestDefinitionFile &definition)
{
    QStringList problems;
    QString problem;
    const QList<DefinitionRequirement> requirements = writtenRequirements(definition);
    if (requirements.size() > TestDefinition::maxRequirementCount)
        problems.append(
            QStringLiteral("Test może mieć najwyżej %1 wymagań.").arg(TestDefinition::maxRequirementCount));
    QStringList seen;
    for (qsizetype i = 0; i < requirements.size(); ++i) {
        const DefinitionRequirement &r = requirements[i];
        const std::array<std::pair<RequirementColumn, QString>, requirementColumnCount> cells{
            {{RequirementColumn::Code, r.code},
             {RequirementColumn::Description, r.description},
             {RequirementColumn::General, r.general}}};
        for (const auto &[column, text] : cells) {
            acceptedRequirementCell(column, text, &problem);
            if (!problem.isEmpty())
                problems.append(
                    QStringLiteral("Wymaganie %1, %2: ").arg(i + 1).arg(requirementColumnName(column)) +
                    problem);
        }
        const QString code = r.code.trimmed().toLower();
        if (!code.isEmpty() && seen.contains(code))
            problems.append(
                QStringLiteral("Wymaganie %1: kod „%2” powtarza się.").arg(i + 1).arg(r.code.trimmed()));
        seen.append(code);
    }
    for (qsizetype i = 0; i < requirements.size(); ++i) {
        const QString general = requirements[i].general.trimmed().toLower();
        if (!general.isEmpty() && (!seen.contains(general) || general == seen[i]))
            problems.append(
                QStringLiteral("Wymaganie %1, Ogólne: „%2” nie jest innym wymaganiem z tej listy.")
                    .arg(i + 1)
                    .arg(requirements[i].general.trimmed()));
    }
    for (int t = 0; t < definition.tasks.size(); ++t) {
        acceptedRequirementsCell(definition, definition.tasks[t].requirements, &problem);
        if (!problem.isEmpty())
            problems.append(QStringLiteral("Zadanie %1, Wymagania: ").arg(t + 1) + problem);
    }
    return problems;
}
} // namespace

QString acceptedRequirementsCell(const TestDefinitionFile &definition, const QString &text, QString *problem)
{
    problem->clear();
    QStringList codes;
    QStringList unknown;
    for (const QString &code : requirementCodes(text)) {
        auto found = std::find_if(definition.requirements.cbegin(), definition.requirements.cend(),
                                  [&code](const DefinitionRequirement &r) {
                                      return r.code.trimmed().compare(code, Qt::CaseInsensitive) == 0;
                                  });
        if (found == definition.requirements.cend())
            unknown.append(code);
        else if (!codes.contains(found->code.trimmed()))
            codes.append(found->code.trimmed());
    }
    if (!unknown.isEmpty()) {
        *problem = QStringLiteral("%1 „%2” nie ma wśród wymagań testu (zakładka „Wymagania”); dopisz je tam "
                                  "albo popraw kod.")
                       .arg(unknown.size() == 1 ? QStringLiteral("wymagania") : QStringLiteral("wymagań"),
                            unknown.join(QStringLiteral("”, „")));
        return QString();
    }
    return codes.join(QStringLiteral("; "));
}

QString acceptedRequirementCell(RequirementColumn column, const QString &text, QString *problem)
{
    problem->clear();
    const QString trimmed = text.trimmed();
    if (column == RequirementColumn::Code && trimmed.isEmpty())
        *problem = QStringLiteral("kod wymagania nie może być pusty.");
    else if (column != RequirementColumn::Description && (trimmed.contains(u',') || trimmed.contains(u' ')))
        *problem = QStringLiteral("kod „%1” nie może zawierać przecinka ani spacji: one rozdzielają kody "
                                  "w kolumnie „Wymagania” zadań.")
                       .arg(trimmed);
    else
        *problem = textProblem(trimmed);
    return problem->isEmpty() ? trimmed : QString();
}

QString acceptedStandardCount(const QString &text, QString *problem)
{
    return acceptedWhole(text, 1, TestDefinitionFile::maxStandards, problem);
}

RequirementPaste pasteRequirements(TestDefinitionFile *definition, const QList<QStringList> &rows,
                                   int firstRow, RequirementColumn firstColumn)
{
    RequirementPaste paste;
    const int firstCol = int(firstColumn);
    firstRow = qMax(0, firstRow);
    for (int r = 0; r < rows.size(); ++r) {
        const int row = firstRow + r;
        if (row >= TestDefinition::maxRequirementCount) {
            paste.rowsLeftOut = int(rows.size()) - r;
            break;
        }
        while (definition->requirements.size() <= row) {
            definition->requirements.append(DefinitionRequirement());
            ++paste.rowsAdded;
        }
        const QStringList &cells = rows[r];
        paste.columnsLeftOut =
            qMax(paste.columnsLeftOut, int(cells.size()) - (requirementColumnCount - firstCol));
        for (int c = 0; c < cells.size() && firstCol + c < requirementColumnCount; ++c) {
            const auto column = RequirementColumn(firstCol + c);
            QString problem;
            const QString accepted = acceptedRequirementCell(column, cells[c], &problem);
            // An empty code is taken: the row is being filled in, and OK names it if it stays so.
            if (!problem.isEmpty() && !(column == RequirementColumn::Code && cells[c].trimmed().isEmpty())) {
                paste.refused.append(
                    QStringLiteral("Wymaganie %1, %2: ").arg(row + 1).arg(requirementColumnName(column)) +
                    problem);
                continue;
            }
            QString &target = requirementCell(definition->requirements[row], column);
            if (target != accepted) {
                target = accepted;
                ++paste.cellsChanged;
            }
        }
    }
    return paste;
}

QStringList definitionProblems(const TestDefinitionFile &definition)
{
    QStringList problems;
    QString problem;
    if (acceptedName(definition.name, &problem).isEmpty())
        problems.append(QStringLiteral("Nazwa testu: ") + problem);
    acceptedDate(definition.date, &problem);
    if (!problem.isEmpty())
        problems.append(QStringLiteral("Data testu: ") + problem);
    if (definition.tasks.isEmpty())
        problems.append(QStringLiteral("Test musi mieć co najmniej jedno zadanie."));
    if (definition.tasks.size() > TestDefinition::maxTaskCount)
        problems.append(
            QStringLiteral("Test może mieć najwyżej %1 zadań.").arg(TestDefinition::maxTaskCount));
    if (acceptedTotal(definition.maxTotalPoints, &problem).isEmpty())
        problems.append(QStringLiteral("Maksymalna liczba punktów testu: ") + problem);
    for (int t = 0; t < definition.tasks.size(); ++t) {
        const DefinitionTask &task = definition.tasks[t];
        const std::array<std::pair<TaskColumn, QString>, 4> cells{
            {{TaskColumn::Label, task.label},
             {TaskColumn::Points, task.points.trimmed()},
             {TaskColumn::Standard, task.standard.trimmed()},
             {TaskColumn::Closed, task.closed}}};
        for (const auto &[column, text] : cells) {
            if (acceptedTaskCell(column, text, &problem).isEmpty())
                problems.append(QStringLiteral("Zadanie %1, %2: ").arg(t + 1).arg(taskColumnName(column)) +
                                problem);
        }
        if (const QString key = keyProblem(task); !key.isEmpty())
            problems.append(
                QStringLiteral("Zadanie %1, %2: ").arg(t + 1).arg(taskColumnName(TaskColumn::Key)) + key);
    }
    problems.append(standardUseProblems(definition));
    problems.append(requirementProblems(definition));
    for (int k = 0; k < definition.standardCount; ++k) {
        const DefinitionStandard &standard = definition.standards[k];
        const std::array<std::pair<StandardColumn, QString>, 3> cells{
            {{StandardColumn::Abbreviation, standard.abbreviation},
             {StandardColumn::Description, standard.description},
             {StandardColumn::Points, standard.points}}};
        for (const auto &[column, text] : cells) {
            acceptedStandardCell(column, text, &problem);
            if (!problem.isEmpty())
                problems.append(
                    QStringLiteral("Standard %1, %2: ").arg(k + 1).arg(standardColumnName(column)) + problem);
        }
    }
    const QString bands = bandBoundsProblem(definition.bandBounds);
    if (!bands.isEmpty())
        problems.append(bands);
    for (const QString &table :
         {stanineTableProblem(definition.stanines, QStringLiteral("średniego wyniku szkoły")),
          stanineTableProblem(definition.pupilStanines, QStringLiteral("wyników uczniów"))}) {
        if (!table.isEmpty())
            problems.append(table);
    }
    acceptedOptionalField(OptionalField::Threshold, definition.comparisonThreshold, &problem);
    if (!problem.isEmpty())
        problems.append(QStringLiteral("Próg porównania: ") + problem);
    return problems;
}

namespace {
// A block laid out before tasks had requirements ends with "Za część" where "Wymagania" now stands: a
// last cell that says yes or no and names no requirement is meant for "Za część".
bool isPointPerPartWord(const TestDefinitionFile &definition, const QString &cell)
{
    QString problem;
    if (acceptedTaskCell(TaskColumn::PointPerPart, cell, &problem).isEmpty() || cell.trimmed().isEmpty())
        return false;
    acceptedRequirementsCell(definition, cell, &problem);
    return !problem.isEmpty();
}
} // namespace

TaskPaste pasteTasks(TestDefinitionFile *definition, const QList<QStringList> &rows, int firstTask,
                     TaskColumn firstColumn)
{
    TaskPaste paste;
    constexpr int columnCount = taskColumnCount;
    const int firstCol = int(firstColumn);
    firstTask = qMax(0, firstTask);
    for (int r = 0; r < rows.size(); ++r) {
        const int t = firstTask + r;
        if (t >= TestDefinition::maxTaskCount) {
            paste.rowsLeftOut = int(rows.size()) - r;
            break;
        }
        if (t >= definition->tasks.size()) {
            const int before = int(definition->tasks.size());
            setTaskCount(definition, t + 1);
            paste.tasksAdded += int(definition->tasks.size()) - before;
        }
        DefinitionTask &task = definition->tasks[t];
        const QStringList &cells = rows[r];
        paste.columnsLeftOut = qMax(paste.columnsLeftOut, int(cells.size()) - (columnCount - firstCol));
        for (int c = 0; c < cells.size() && firstCol + c < columnCount; ++c) {
            auto column = TaskColumn(firstCol + c);
            QString problem;
            if (column == TaskColumn::Requirements && c + 1 == cells.size() &&
                isPointPerPartWord(*definition, cells[c]))
                column = TaskColumn::PointPerPart;
            const QString accepted = column == TaskColumn::Requirements
                                         ? acceptedRequirementsCell(*definition, cells[c], &problem)
                                         : acceptedTaskCell(column, cells[c], &problem);
            if (!problem.isEmpty()) {
                paste.refused.append(
                    QStringLiteral("Zadanie %1, %2: ").arg(t + 1).arg(taskColumnName(column)) + problem);
                continue;
            }
            QString &target = taskCell(task, column);
            if (target != accepted) {
                target = accepted;
                ++paste.cellsChanged;
            }
        }
        // A key pasted without its answers gets those it implies, shown where they can be changed.
        if (!task.key.isEmpty() && task.answers.isEmpty())
            task.answers = closedanswers::defaultAnswers(task.key);
    }
    fitStandardCount(definition);
    return paste;
}

void dropExampleNote(TestDefinitionFile *definition)
{
    const bool example =
        std::any_of(definition->preamble.cbegin(), definition->preamble.cend(), [](const QString &line) {
            return line.trimmed().startsWith(QStringLiteral("; PRZYKŁAD"));
        });
    if (example)
        definition->preamble.clear();
}
