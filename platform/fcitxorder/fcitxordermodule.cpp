// fcitx5 lists a table's candidates by frequency unless told otherwise (OrderPolicy=Freq): libime
// weighs them with its language model and what the pupil has typed, so the order cannot be read
// from the table. This module asks libime itself, as fcitx5 does, and is loaded only then.
#include <libime/core/languagemodel.h>
#include <libime/core/userlanguagemodel.h>
#include <libime/table/tablebaseddictionary.h>
#include <libime/table/tablecontext.h>
#include <libime/table/tableoptions.h>
#include <QString>
#include <QStringList>
#include <fstream>
#include <memory>

namespace {

struct Table {
    libime::TableBasedDictionary dictionary;
    std::unique_ptr<libime::UserLanguageModel> model;
};

// The pupil's own words and history, where fcitx5 keeps them; a file it cannot read is left out.
template <typename Load>
void loadIfThere(const QString& path, Load load) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    if (!in)
        return;
    try {
        load(in);
    } catch (const std::exception&) {
    }
}

std::unique_ptr<Table> open(const QString& mainDict, const QString& userFolder) {
    auto table = std::make_unique<Table>();
    table->dictionary.load(mainDict.toStdString().c_str());
    libime::TableOptions options;
    options.setOrderPolicy(libime::OrderPolicy::Freq);
    options.setLanguageCode("zh_CN");
    table->dictionary.setTableOptions(options);
    const auto file =
        libime::DefaultLanguageModelResolver::instance().languageModelFileForLanguage("zh_CN");
    if (!file)
        return nullptr;
    table->model = std::make_unique<libime::UserLanguageModel>(file);
    loadIfThere(userFolder + QStringLiteral("/wbx.user.dict"),
                [&](std::istream& in) { table->dictionary.loadUser(in); });
    loadIfThere(userFolder + QStringLiteral("/wbx.history"),
                [&](std::istream& in) { table->model->load(in); });
    return table;
}

}  // namespace

// The candidates of code, in fcitx5's frequency order, of the table mainDict with the pupil's
// files in userFolder. False when the table or the language model cannot be read.
extern "C" Q_DECL_EXPORT bool qorvexFrequencyOrder(const QString& mainDict,
                                                   const QString& userFolder, const QString& code,
                                                   QStringList* candidates) {
    static std::unique_ptr<Table> table;
    static bool tried = false;
    try {
        if (!tried) {
            tried = true;
            table = open(mainDict, userFolder);
        }
        if (!table)
            return false;
        libime::TableContext context(table->dictionary, *table->model);
        context.type(code.toStdString());
        candidates->clear();
        for (const auto& sentence : context.candidates())
            *candidates << QString::fromStdString(sentence.toString());
        return true;
    } catch (const std::exception&) {
        table.reset();
        return false;
    }
}
