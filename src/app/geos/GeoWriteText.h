#pragma once

#include "support/RichText.h"

class QTextDocument;
class QTextBlockFormat;

namespace qv::app {

// Puts a converted GeoWrite document into a text document: one block per paragraph
// with its indents, tab stops, alignment and line spacing; the character runs with
// their sizes, faces, styles and colours; the pictures inline at their size. Distances
// in points become pixels at pixelsPerPoint. Block n is paragraph n of the document.
void fillGeoWriteDocument(QTextDocument& target, const RichDocument& document,
                          double pixelsPerPoint);

// The block format of one paragraph (for a paragraph whose indents the ruler changed).
QTextBlockFormat geoWriteBlockFormat(const ParagraphFormat& paragraph, double pixelsPerPoint);

}  // namespace qv::app
