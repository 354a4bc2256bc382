// The text parser: every run of word characters is a word; there is no markup.
#include "wordmill/Parser.h"

#include "TokenStream.h"

namespace wordmill {

namespace {

class TextStream : public TokenStream {
  public:
    TextStream(std::string_view text, const textfold::CharTable& table)
        : scanner_(text, table, /*markup=*/false, /*html=*/false) {}

    StreamResult next(Token& token) override {
        return scanner_.scanText(token) == WordScanner::Stop::Word ? StreamResult::Word
                                                                   : StreamResult::End;
    }

  private:
    WordScanner scanner_;
};

class TextParser : public Parser {
  protected:
    std::unique_ptr<TokenStream> makeStream() const override {
        return std::make_unique<TextStream>(DocumentText(), GetLanguageTable());
    }
    bool passageShowsSourceText() const override { return true; }
};

}  // namespace

std::unique_ptr<Parser> CreateTextParser(const textfold::CharTable& table) {
    auto parser = std::make_unique<TextParser>();
    parser->SetLanguageTable(table);
    return parser;
}

}  // namespace wordmill
