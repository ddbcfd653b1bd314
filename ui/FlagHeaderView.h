#pragma once

#include <QHeaderView>
#include <QString>

namespace zendrel {

// The header row of the additional-word grid. The texts of the two flag columns carry the
// column's check mark as a leading "1": it is drawn as the check-mark image, never as text.
// A release of any mouse button over a section is reported, as the column toggles need.
class FlagHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit FlagHeaderView(QWidget* parent = nullptr);

    // The stored header text of a column, with its leading "1" when the column is checked.
    QString text(int column) const;
    void setText(int column, const QString& text);

signals:
    // A mouse button was released over the header section `column`.
    void sectionReleased(int column);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString texts_[3] = {"First", "Last", "Name"};
};

} // namespace zendrel
