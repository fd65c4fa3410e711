// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/ReportExport.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTableWidget>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "app/sheets/SheetRun.h"
#include "common/StagedFile.h"
#include "state/ExperimentState.h"
#include "ui/kit/Controls.h"
#include "ui/window/ExportCaption.h"
#include "ui/window/LabSheetPanel.h"
#include "ui/kit/SpaceTimePicture.h"
#include "ui/window/WindowExport.h"
#include "ui/window/frmTamrel.h"

namespace tamrel {

namespace {

    const char* const kPlotsName = "plots.png";
    const char* const kSpaceTimeName = "spacetime.png";
    // Widths on the page, in the document's pixels (at 96 per inch, an A4
    // page holds 640 between its margins).
    constexpr int kPlotsPageWidth = 600;
    constexpr int kSpaceTimePageWidth = 449;

    bool endsWithHtml(const std::string& path)
    {
        return QString::fromStdString(path).endsWith(QStringLiteral(".html"), Qt::CaseInsensitive)
            || QString::fromStdString(path).endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
    }

    struct Pictures {
        QImage plots;
        QImage spaceTime; // null when the picture is empty
    };

    Pictures picturesOf(const QWidget& window)
    {
        Pictures out;
        out.plots = QImage(linePlotsPictureSize(), QImage::Format_RGB32);
        out.plots.fill(Qt::white);
        {
            QPainter p(&out.plots);
            paintLinePlotsAsShown(window, p);
        }
        const auto* picture = control<SpaceTimePicture>(window, "pctSpaceTime");
        if (!picture->shownImage().isNull()) {
            const QSize size(std::max(1, picture->scaleWidth()), std::max(1, picture->scaleHeight()));
            out.spaceTime = QImage(size, QImage::Format_RGB32);
            out.spaceTime.fill(Qt::white);
            QPainter p(&out.spaceTime);
            picture->render(p, QRectF(QPointF(0, 0), size), picture->axesShown());
        }
        return out;
    }

    QByteArray pngBytes(const QImage& image)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    std::string dataUri(const QImage& image)
    {
        return "data:image/png;base64," + pngBytes(image).toBase64().toStdString();
    }

    std::vector<std::string> comparisonOnShow(const QWidget& window)
    {
        std::vector<std::string> lines;
        if (const auto* w = dynamic_cast<const frmTamrel*>(&window)) {
            const std::vector<std::string> schemes = w->comparedSchemes();
            if (!schemes.empty()) {
                std::string line = "Schemes run side by side:";
                for (const std::string& s : schemes)
                    line += " " + s;
                lines.push_back(line);
            }
        }
        // A convergence study on show: its status and its table, row by row.
        const auto* study = window.findChild<QWidget*>(QStringLiteral("dlgConvergenceStudy"));
        if (!study || !study->isVisible())
            return lines;
        if (const auto* status = study->findChild<QLabel*>(QStringLiteral("lblStudyStatus")))
            if (!status->text().isEmpty())
                lines.push_back("Convergence study: " + status->text().toStdString());
        if (const auto* table = study->findChild<QTableWidget*>(QStringLiteral("tblStudy"))) {
            std::string head;
            for (int c = 0; c < table->columnCount(); ++c)
                if (const QTableWidgetItem* h = table->horizontalHeaderItem(c))
                    head += (c ? " | " : "") + h->text().toStdString();
            if (table->rowCount() > 0 && !head.empty())
                lines.push_back(head);
            for (int r = 0; r < table->rowCount(); ++r) {
                std::string row;
                for (int c = 0; c < table->columnCount(); ++c) {
                    const QTableWidgetItem* item = table->item(r, c);
                    row += (c ? " | " : "") + (item ? item->text().toStdString() : std::string());
                }
                lines.push_back(row);
            }
        }
        return lines;
    }

    // The PDF of `html`, its pictures given as the document's resources.
    QByteArray pdfOf(const std::string& html, const Pictures& pictures)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        // The document keeps margins of 2 cm of its own (and numbers the pages).
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        writer.setResolution(96);
        writer.setTitle(QStringLiteral("Tamrel lab report"));
        writer.setCreator(QStringLiteral("Tamrel"));
        QTextDocument doc;
        doc.addResource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(kPlotsName)), pictures.plots);
        if (!pictures.spaceTime.isNull())
            doc.addResource(
                QTextDocument::ImageResource, QUrl(QString::fromLatin1(kSpaceTimeName)), pictures.spaceTime);
        doc.setHtml(QString::fromStdString(html));
        doc.print(&writer);
        return bytes;
    }

    bool writeBytes(const std::string& path, const QByteArray& bytes)
    {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const bool written = file.write(bytes) == bytes.size() && file.flush();
        file.close();
        return written && file.error() == QFileDevice::NoError;
    }

    // The content's pictures named as `plots` and `spaceTime` say.
    void namePictures(report::ReportContent& c, const std::string& plots, const std::string& spaceTime)
    {
        for (report::ReportPicture& p : c.pictures)
            p.source = p.source == kPlotsName ? plots : spaceTime;
    }

} // namespace

report::ReportSheet reportSheetOf(
    const sheets::LabSheet& sheet, const std::vector<std::string>& answers, const sheets::SheetGrade* grade)
{
    report::ReportSheet out;
    out.title = sheet.title;
    for (std::size_t q = 0; q < sheet.questions.size(); ++q)
        out.questions.emplace_back(sheet.questions[q].text, q < answers.size() ? answers[q] : std::string());
    out.checked = grade && !grade->cancelled && !grade->checks.empty();
    if (!out.checked)
        return out;
    for (const sheets::CheckResult& r : grade->checks) {
        std::string line = sheets::CheckLine(r);
        if (const std::string hint = sheets::CheckHint(r); !hint.empty())
            line += " (" + hint + ")";
        out.results.emplace_back(line, r.pass);
    }
    for (const sheets::AnswerResult& a : grade->answers)
        out.results.emplace_back(sheets::AnswerLine(a), a.pass);
    return out;
}

report::ReportContent reportContentOf(const QWidget& window, const ExperimentState& s)
{
    report::ReportContent c;
    c.caption = captionOf(window, s);
    c.name = s.StudentName;
    c.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    c.problem = problemNameOf(window);
    if (const auto* description = findControl<QLabel>(window, "lblStudentID"))
        c.description = description->text().toStdString();
    c.parameters = report::RunParameters(s);
    c.pictures.push_back({ "Density, pressure and velocity", kPlotsName, kPlotsPageWidth });
    if (!control<SpaceTimePicture>(window, "pctSpaceTime")->shownImage().isNull())
        c.pictures.push_back({ "Space-time picture", kSpaceTimeName, kSpaceTimePageWidth });
    if (const auto* l1 = findControl<QLabel>(window, "lblExactReadout"); l1 && !l1->text().isEmpty())
        c.l1 = l1->text().toStdString();
    c.study = comparisonOnShow(window);
    if (const auto* panel = window.findChild<LabSheetPanel*>(QStringLiteral("frmLabSheet"));
        panel && panel->sheet())
        c.sheets.push_back(
            reportSheetOf(*panel->sheet(), panel->answers(), panel->grade() ? &*panel->grade() : nullptr));
    return c;
}

std::string reportHtmlPath(const std::string& path)
{
    if (endsWithHtml(path))
        return path;
    const QString p = QString::fromStdString(path);
    const int dot = p.lastIndexOf(QLatin1Char('.'));
    const int slash = std::max(p.lastIndexOf(QLatin1Char('/')), p.lastIndexOf(QLatin1Char('\\')));
    return ((dot > slash ? p.left(dot) : p) + QStringLiteral(".html")).toStdString();
}

std::optional<std::string> exportReport(const QWidget& window, const ExperimentState& s, const std::string& path,
    const std::optional<std::vector<report::ReportSheet>>& sheets)
{
    const bool htmlOnly = endsWithHtml(path);
    if (!htmlOnly && !QString::fromStdString(path).endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return "'" + path + "' does not end in .pdf or .html, the formats of a report";
    std::optional<StagedFile> pdf;
    if (!htmlOnly) {
        pdf.emplace(path);
        if (!pdf->ok())
            return pdf->error();
    }
    StagedFile html(reportHtmlPath(path));
    if (!html.ok())
        return html.error();

    report::ReportContent content = reportContentOf(window, s);
    if (sheets)
        content.sheets = *sheets;
    const Pictures pictures = picturesOf(window);
    if (pdf) {
        const QByteArray bytes = pdfOf(report::ReportHtml(content), pictures);
        if (bytes.isEmpty() || !writeBytes(pdf->temporaryPath(), bytes))
            return "cannot write '" + path + "'";
    }
    // The .html carries its pictures inside it, so it can be handed in alone.
    namePictures(content, dataUri(pictures.plots), pictures.spaceTime.isNull() ? "" : dataUri(pictures.spaceTime));
    if (!writeBytes(html.temporaryPath(), QByteArray::fromStdString(report::ReportHtml(content))))
        return "cannot write '" + html.target() + "'";
    StagedFile* files[] = { &html, pdf ? &*pdf : nullptr };
    std::vector<StagedFile*> all;
    for (StagedFile* f : files)
        if (f)
            all.push_back(f);
    if (const std::string failure = commitAll(all); !failure.empty())
        return failure;
    return std::nullopt;
}

} // namespace tamrel
