// The document parsers as the program calls them (see libs/wordmill): the text, HTML and
// XML parsers and their word records.
#pragma once

#include <wordmill/Parser.h>
#include <wordmill/WordRecord.h>
