#include "app/ui/frmTamrel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "app/ui/LinePlotPicture.h"
#include "app/ui/PictureButton.h"
#include "app/ui/SpaceTimePicture.h"
#include "app/ui/Twips.h"
#include "common/Format.h"
#include "run/DefaultProblem.h"
#include "run/TimeStep.h"

namespace tamrel {

namespace {

// The lab's two faces: "MS Sans Serif" and "Arial" become the metric-compatible
// Liberation Sans where it is installed, DejaVu Sans otherwise. Sizes are given
// in points at 96 dots per inch and set in pixels, so the layout does not
// depend on the screen's reported resolution.
QFont labFont(double points, bool bold = true)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(static_cast<int>(points * 96.0 / 72.0 + 0.5));
    f.setBold(bold);
    return f;
}

constexpr double kSansSmall = 8.25;
constexpr double kSansBody = 9.75;
constexpr double kSansButton = 13.5;
constexpr double kArialCaption = 14.25;
constexpr double kArialTest = 18;

const char* const kInstructionCaption
    = "Your name and your title for this experiment go here.  To provide this information, just click on the "
      "\"get title\" button at the top middle of this form.   Please note that the current problem time is "
      "displayed in the box just above this title.";

} // namespace

frmTamrel::frmTamrel(Dialogs& dialogs_, WindowOptions options_, QWidget* parent)
    : QWidget(parent), dialogs(dialogs_), options(std::move(options_))
{
    buildControls();
    connectHandlers();

    // Start-up, in order.
    state.TitleText = captionOf(lblStudentID);
    createSpaceTimeImages();
    state.BigSpaceTime = 0;
    lstGrayVariable->blockSignals(true);
    lstGrayVariable->setCurrentText(QStringLiteral("Density"));
    lstGrayVariable->blockSignals(false);

    if (options.studentName) {
        state.StudentName = *options.studentName;
    } else {
        const auto answer = dialogs.inputBox("Type your name", "Get Student Name", "A. Student", ScreenPosTwips{3000, 3000});
        state.StudentName = answer.value_or("");
    }

    stepper = std::make_unique<TimeStep>(options.threads);
    AllocateArraysAndDefaultProblem();
    tmrMetronome->start();
}

frmTamrel::~frmTamrel() = default;

void frmTamrel::AllocateArraysAndDefaultProblem()
{
    StartUpState(state);
    RefreshControls();
}

// --- Layout -------------------------------------------------------------------

void frmTamrel::buildControls()
{
    setObjectName(QStringLiteral("frmTamrel"));
    setWindowTitle(QStringLiteral("Tamrel: shock tubes, sound waves and numerical schemes  -  a one-dimensional gas dynamics laboratory"));
    setFixedSize(twipsToPixels(15000), twipsToPixels(11490));

    auto place = [this](QWidget* w, const char* name, int l, int t, int wd, int h, const char* tip) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(twipsRect(l, t, wd, h));
        if (tip && *tip)
            w->setToolTip(QString::fromUtf8(tip));
        return w;
    };
    auto label = [&](const char* name, const char* caption, int l, int t, int wd, int h, QFont font, const char* tip) {
        auto* lbl = new QLabel(QString::fromUtf8(caption), this);
        place(lbl, name, l, t, wd, h, tip);
        lbl->setFont(font);
        return lbl;
    };
    auto box = [&](const char* name, const char* text, int l, int t, int wd, int h, QFont font, const char* tip) {
        auto* b = new QLineEdit(QString::fromUtf8(text), this);
        place(b, name, l, t, wd, h, tip);
        b->setFont(font);
        return b;
    };
    auto button = [&](const char* name, const char* caption, int l, int t, int wd, int h, QFont font, const char* tip) {
        // Captions wrap onto several lines in the small buttons.
        auto* b = new PictureButton(QString::fromUtf8(caption), this);
        place(b, name, l, t, wd, h, tip);
        b->setFont(font);
        return b;
    };

    // Display areas.
    pctDensityPlot = new LinePlotPicture(this);
    place(pctDensityPlot, "pctDensityPlot", 120, 2520, 6800, 2895, "The plot of the density distribution appears in this window.");
    pctPressurePlot = new LinePlotPicture(this);
    place(pctPressurePlot, "pctPressurePlot", 7920, 2520, 6800, 2895, "The plot of the pressure distribution appears in this window.");
    pctVelocityPlot = new LinePlotPicture(this);
    place(pctVelocityPlot, "pctVelocityPlot", 120, 6240, 6800, 2895, "The plot of the velocity appears in this window.");
    pctSpaceTime = new SpaceTimePicture(this);
    place(pctSpaceTime, "pctSpaceTime", 7920, 6240, 6800, 2895,
        "The selected distribution in space-time appears in this window.  Click on this window to paint it small, double click to paint it big.");

    // Captions under and beside the plots.
    lblDensityPlot = label("lblDensityPlot", " Density", 960, 5640, 5055, 375, labFont(kArialCaption), "The above plot shows the density.");
    lblPressurePlot = label("lblPressurePlot", "Pressure", 8760, 5640, 5055, 375, labFont(kArialCaption),
        "The stored position of the string corresponding to the dump number in the box below is now displayed.");
    lblVelocityPlot = label("lblVelocityPlot", "Velocity", 960, 9360, 5055, 375, labFont(kArialCaption), "The plot above shows the velocity distribution.");
    lblDensitySpaceTimePlot = label("lblDensitySpaceTimePlot", "Grayscale Space-Time", 11160, 9360, 3495, 375, labFont(kArialCaption),
        "The grayscale plot above shows the space-time distribution of the density.");
    for (QLabel* l : {lblDensityPlot, lblPressurePlot, lblVelocityPlot})
        l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lblStudentID = label("lblStudentID", kInstructionCaption, 120, 9840, 14655, 615, labFont(kSansBody, false), "");
    lblStudentID->setWordWrap(true);
    lblStudentID->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Plot-range boxes.
    const QFont body = labFont(kSansBody);
    txtDensityMin = box("txtDensityMin", " 1.0", 120, 5640, 1332, 372, body, "The minimum density value for the y-axis is shown here.");
    txtDensityMax = box("txtDensityMax", " 1.0", 5520, 5640, 1332, 372, body, "The maximum density value for the y-axis is shown here.");
    txtPressureMin = box("txtPressureMin", " 1.0", 7920, 5640, 1332, 372, body, "The minimum pressure value for the y-axis is shown here.");
    txtPressureMax = box("txtPressureMax", " 1.0", 13320, 5640, 1332, 372, body, "The maximum pressure value for the y-axis is shown here.");
    txtVelocityMin = box("txtVelocityMin", " 1.0", 360, 9360, 1332, 372, body, "The minimum velocity value for the y-axis is shown here.");
    txtVelocityMax = box("txtVelocityMax", " 1.0", 5400, 9360, 1332, 372, body, "The maximum velocity value for the y-axis is shown here.");

    // Time and space-time controls.
    txtTime = box("txtTime", " t = 0.0", 6960, 9360, 1335, 372, body,
        "The time corresponding to the plots presently displayed appears in this window.");
    lstGrayVariable = new QComboBox(this);
    place(lstGrayVariable, "lstGrayVariable", 8520, 9360, 2415, 396, "Select the variable to appear in the grayscale space-time display.");
    lstGrayVariable->setFont(labFont(kArialCaption));
    lstGrayVariable->addItems({"Density", "Pressure", "Velocity", "R+", "R-", "R0 (Entropy)", "VY", "FSmoke"});

    // Run controls.
    const QFont big = labFont(kSansButton);
    const QFont small = labFont(kSansSmall);
    cmdRestart = button("cmdRestart", "Restart", 13440, 120, 1215, 975, big, "Press to stop the calculation and prepare to begin it again.");
    cmdBegin = button("cmdBegin", "Begin", 13440, 1320, 1215, 975, big, "Press to begin the calculation (from the beginning).");
    cmdPause = button("cmdPause", "Pause", 9720, 1680, 1455, 615, big, "Press to pause the calculation.");
    cmdContinue = button("cmdContinue", "Continue", 11520, 1680, 1455, 615, big, "Press to continue the calculation.");
    txtNPlotsPerPeriod = box("txtNPlotsPerPeriod", " 20", 9720, 120, 972, 372, body,
        "Enter the number of snap shots desired per fundamental period of sound wave propagation.");
    txtNPeriods = box("txtNPeriods", " 2", 9720, 600, 972, 372, body,
        "Enter the number of fundamental periods of sound wave propagation for this run");
    txtMSec = box("txtMSec", " 5", 9720, 1080, 972, 372, body, "Enter the number of milliseconds per time step for this run");
    lblNPlotsPerPeriod = label("lblNPlotsPerPeriod", "Plots / Time Unit", 10920, 120, 2055, 375, body, "");
    lblNPeriods = label("lblNPeriods", "Time Units to Run", 10920, 600, 2055, 375, body, "");
    lblMSec = label("lblMSec", "msec per step", 10920, 1080, 2055, 375, body, "");
    txtCourantNumber = box("txtCourantNumber", " 0.5", 7920, 2040, 735, 345, body, "The Courant number target for the computation is entered here.");
    lblCourantNumber = label("lblCourantNumber", "Courant Number", 7920, 1560, 735, 375, small,
        "The Courant number target for the computation appears in the box below.");
    lblCourantNumber->setWordWrap(true);
    cmdNumericalScheme = button("cmdNumericalScheme", "  PPM?   Mflops?", 7080, 10560, 735, 615, small, "Click here to select the difference scheme.");
    cmdGetDiffConsts = button("cmdGetDiffConsts", "Get Diff Consts", 8760, 1560, 735, 735, small,
        "Click here to change the default constants that control the special PPM shock dissipation.");

    // Problem set-up controls.
    const int testLefts[9] = {0, 240, 1920, 3600, 5280, 8160, 9840, 11520, 13200};
    cmdTest[0] = nullptr;
    for (int t = 1; t <= 8; ++t) {
        auto* b = new PictureButton(QStringLiteral("Test %1").arg(t), this);
        const std::string name = "cmdTest" + std::to_string(t);
        const std::string tip = "Click here to set up for Test " + std::to_string(t) + ".";
        place(b, name.c_str(), testLefts[t], 10560, 1455, 615, tip.c_str());
        b->setFont(labFont(kArialTest));
        cmdTest[t] = b;
    }
    cmdSoundWave = button("cmdSoundWave", "Sound Wave", 7920, 840, 735, 615, small,
        "Click here to set up initial conditions for sound wave propagation experiments.");
    cmdGetTitle = button("cmdGetTitle", " Get Title", 7920, 120, 735, 615, small,
        "Click here to be prompted for your name and a title for this experiment.");
    cmdReadSetUp = button("cmdReadSetUp", " Read Setup", 8760, 120, 735, 615, small,
        "Click here to read problem set up from a disk file (which you will specify).");
    cmdWriteSetUp = button("cmdWriteSetUp", " Write Setup", 8760, 840, 735, 615, small,
        "Click here to write problem set up to a disk file (which you will specify).");
    cmdBoundaryConditionType = button("cmdBoundaryConditionType", "Bdrys", 7140, 120, 615, 375, small,
        "Click here to clear the plotting windows.");
    cmdPlotFVSmoke = button("cmdPlotFVSmoke", "PLOT FVSMOKE", 13080, 120, 255, 2175, labFont(7, false),
        "Click here to plot FVSmoke rather than Pressure.");
    // A tall, narrow button: one letter to a line.
    {
        QString vertical;
        for (QChar c : QStringLiteral("PLOT FVSMOKE"))
            vertical += (c == ' ' ? QStringLiteral("\n") : QString(c) + "\n");
        cmdPlotFVSmoke->setText(vertical.trimmed());
        cmdPlotFVSmoke->setAccessibleName(QStringLiteral("PLOT FVSMOKE"));
    }

    // Stored-state and plot-mode controls.
    cmdSinglePlots = button("cmdSinglePlots", "Single", 7140, 600, 615, 375, small, "Click here to display only a single plot at a time.");
    cmdMultiplePlots = button("cmdMultiplePlots", "Multi", 7140, 1080, 615, 375, small, "Click here to display multiple plots at a time.");
    lblStoredState = label("lblStoredState", "Stored  State", 7140, 1560, 615, 375, small,
        "The stored state corresponding to the dump number in the box below is now displayed.");
    lblStoredState->setWordWrap(true);
    txtStoredStateNumber = box("txtStoredStateNumber", "0", 7140, 2040, 615, 345, body,
        "The number of the stored state being displayed is shown here.");
    vsbStoredStateNumber = new QScrollBar(Qt::Vertical, this);
    place(vsbStoredStateNumber, "vsbStoredStateNumber", 7140, 2520, 615, 6615, "");

    // Grid and selected-cell editors.
    txtNGridCells = box("txtNGridCells", " 501", 120, 120, 1332, 372, body, "enter the number of grid cells here");
    lblNGridCells = label("lblNGridCells", "N Grid Cells", 1680, 120, 1812, 372, body, "The number of mass points may not exceed 5000");
    cmdSelect = button("cmdSelect", "Select", 3840, 120, 872, 372, body, "Press to select a new grid cell");
    cmdDeselect = button("cmdDeselect", "Deselect", 4820, 120, 1117, 372, body, "Press to deselect the present grid cell");
    cmdReset = button("cmdReset", "Reset", 6045, 120, 872, 372, body, "Press to deselect all grid cells but the first and the last.");
    txtMSelected = box("txtMSelected", " 251", 120, 600, 1332, 372, body, "Enter the number of the selected grid cell");
    lblMSelected = label("lblMSelected", "M Selected", 1680, 600, 1812, 372, body,
        "The value displayed at the left is the number of the selected grid cell");
    hsbMSelected = new QScrollBar(Qt::Horizontal, this);
    place(hsbMSelected, "hsbMSelected", 3840, 600, 3077, 372, "");
    txtDensity = box("txtDensity", " 1.0", 120, 1080, 1332, 372, body, "Enter the density of the selected grid cell here.");
    lblDensity = label("lblDensity", "Density", 1680, 1080, 1815, 375, body, "The value displayed is the density in the selected grid cell");
    hsbDensity = new QScrollBar(Qt::Horizontal, this);
    place(hsbDensity, "hsbDensity", 3840, 1080, 3077, 372, "");
    txtPressure = box("txtPressure", "1.0", 120, 1560, 1332, 372, body, "Enter the pressure of the selected grid cell here.");
    lblPressure = label("lblPressure", "Pressure", 1680, 1560, 1815, 375, body, "The value displayed is the pressure in the selected grid cell");
    hsbPressure = new QScrollBar(Qt::Horizontal, this);
    place(hsbPressure, "hsbPressure", 3840, 1560, 3077, 372, "");
    txtVelocity = box("txtVelocity", " 0.0000", 120, 2040, 1332, 372, body, "Enter the velocity of the selected grid cell here.");
    lblVelocity = label("lblVelocity", "Velocity", 1680, 2040, 1815, 375, body, "The value displayed is the velocity in the selected grid cell");
    hsbVelocity = new QScrollBar(Qt::Horizontal, this);
    place(hsbVelocity, "hsbVelocity", 3840, 2040, 3077, 372, "");
    // Scroll bars start with the platform's default range; the refresh sets them.
    for (QScrollBar* s : {vsbStoredStateNumber, hsbMSelected, hsbDensity, hsbPressure, hsbVelocity})
        s->setRange(0, 32767);

    tmrMetronome = new QTimer(this);
    tmrMetronome->setObjectName(QStringLiteral("tmrMetronome"));
    tmrMetronome->setInterval(10);
}

void frmTamrel::connectHandlers()
{
    connect(cmdBegin, &QPushButton::clicked, this, [this] { cmdBegin_Click(); });
    connect(cmdPause, &QPushButton::clicked, this, [this] { cmdPause_Click(); });
    connect(cmdContinue, &QPushButton::clicked, this, [this] { cmdContinue_Click(); });
    connect(cmdRestart, &QPushButton::clicked, this, [this] { cmdRestart_Click(); });
    connect(tmrMetronome, &QTimer::timeout, this, [this] { tmrMetronome_Timer(); });
    connect(cmdNumericalScheme, &QPushButton::clicked, this, [this] { cmdNumericalScheme_Click(); });
    connect(cmdGetDiffConsts, &QPushButton::clicked, this, [this] { cmdGetDiffConsts_Click(); });

    connect(cmdPlotFVSmoke, &QPushButton::clicked, this, [this] { cmdPlotFVSmoke_Click(); });
    connect(pctDensityPlot, &LinePlotPicture::mouseDown, this, [this](int b, double x, double y) { pctDensityPlot_MouseDown(b, x, y); });
    connect(pctPressurePlot, &LinePlotPicture::mouseDown, this, [this](int b, double x, double y) { pctPressurePlot_MouseDown(b, x, y); });
    connect(pctVelocityPlot, &LinePlotPicture::mouseDown, this, [this](int b, double x, double y) { pctVelocityPlot_MouseDown(b, x, y); });
    connect(vsbStoredStateNumber, &QScrollBar::valueChanged, this, [this] { vsbStoredStateNumber_Change(); });
    connect(txtStoredStateNumber, &QLineEdit::textChanged, this, [this] { txtStoredStateNumber_Change(); });
    connect(cmdSinglePlots, &QPushButton::clicked, this, [this] { cmdSinglePlots_Click(); });
    connect(cmdMultiplePlots, &QPushButton::clicked, this, [this] { cmdMultiplePlots_Click(); });

    connect(lstGrayVariable, &QComboBox::currentIndexChanged, this, [this] { lstGrayVariable_Click(); });
    connect(pctSpaceTime, &SpaceTimePicture::clicked, this, [this] { pctSpaceTime_Click(); });
    connect(pctSpaceTime, &SpaceTimePicture::doubleClicked, this, [this] { pctSpaceTime_DblClick(); });
    connect(pctSpaceTime, &SpaceTimePicture::mouseDown, this, [this](int b, double x, double y) { pctSpaceTime_MouseDown(b, x, y); });
    connect(pctSpaceTime, &SpaceTimePicture::savePngRequested, this, [this] {
        if (auto path = dialogs.saveFileName("PNG Images (*.png)|*.png|All Files (*.*)|*.*"))
            if (!saveSpaceTimePng(*path))
                dialogs.messageBox("The picture could not be saved to " + *path + ".");
    });

    for (int t = 1; t <= 8; ++t)
        connect(cmdTest[t], &QPushButton::clicked, this, [this, t] { cmdTest_Click(t); });
    connect(cmdSoundWave, &QPushButton::clicked, this, [this] { cmdSoundWave_Click(); });
    connect(cmdGetTitle, &QPushButton::clicked, this, [this] { cmdGetTitle_Click(); });

    connect(cmdSelect, &QPushButton::clicked, this, [this] { cmdSelect_Click(); });
    connect(cmdDeselect, &QPushButton::clicked, this, [this] { cmdDeselect_Click(); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
    connect(txtDensity, &QLineEdit::textChanged, this, [this] { txtDensity_Change(); });
    connect(txtPressure, &QLineEdit::textChanged, this, [this] { txtPressure_Change(); });
    connect(txtVelocity, &QLineEdit::textChanged, this, [this] { txtVelocity_Change(); });
    connect(txtMSelected, &QLineEdit::textChanged, this, [this] { txtMSelected_Change(); });
    connect(hsbDensity, &QScrollBar::valueChanged, this, [this] { hsbDensity_Change(); });
    connect(hsbPressure, &QScrollBar::valueChanged, this, [this] { hsbPressure_Change(); });
    connect(hsbVelocity, &QScrollBar::valueChanged, this, [this] { hsbVelocity_Change(); });
    connect(hsbMSelected, &QScrollBar::valueChanged, this, [this] { hsbMSelected_Change(); });
    connect(txtNGridCells, &QLineEdit::textChanged, this, [this] { txtNGridCells_Change(); });
    connect(txtNPeriods, &QLineEdit::textChanged, this, [this] { txtNPeriods_Change(); });
    connect(txtNPlotsPerPeriod, &QLineEdit::textChanged, this, [this] { txtNPlotsPerPeriod_Change(); });
    connect(txtCourantNumber, &QLineEdit::textChanged, this, [this] { txtCourantNumber_Change(); });
    connect(txtMSec, &QLineEdit::textChanged, this, [this] { txtMSec_Change(); });
    connect(cmdBoundaryConditionType, &QPushButton::clicked, this, [this] { cmdBoundaryConditionType_Click(); });

    connect(cmdWriteSetUp, &QPushButton::clicked, this, [this] { cmdWriteSetUp_Click(); });
    connect(cmdReadSetUp, &QPushButton::clicked, this, [this] { cmdReadSetUp_Click(); });
}

// --- Space-time images --------------------------------------------------------

void frmTamrel::setSpaceTimeSmallGeometry()
{
    pctSpaceTime->setGeometry(twipsRect(7920, 6240, 6800, 2895));
}

void frmTamrel::setSpaceTimeBigGeometry()
{
    pctSpaceTime->setGeometry(twipsRect(120, 2520, 14600, 6615));
    pctSpaceTime->raise();
}

void frmTamrel::createSpaceTimeImages()
{
    setSpaceTimeSmallGeometry();
    SmallDib = MakeGrayImage(pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight());
    setSpaceTimeBigGeometry();
    BigDib = MakeGrayImage(pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight());
    setSpaceTimeSmallGeometry();
}

QImage frmTamrel::toQImage(const GrayImage& image, int width, int height)
{
    width = std::min(width, image.width);
    height = std::min(height, image.height);
    QImage out(std::max(width, 0), std::max(height, 0), QImage::Format_Indexed8);
    QList<QRgb> gray;
    gray.reserve(256);
    for (int i = 0; i < 256; ++i)
        gray.push_back(qRgb(i, i, i));
    out.setColorTable(gray);
    // The gray image is bottom-up, a QImage top-down.
    for (int y = 0; y < height; ++y)
        std::memcpy(out.scanLine(y), image.bits.data() + static_cast<std::size_t>(image.height - 1 - y) * image.stride,
            static_cast<std::size_t>(width));
    return out;
}

// --- Shared helpers -----------------------------------------------------------

void frmTamrel::setText(QLineEdit* box, const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (box->text() != t)
        box->setText(t); // textChanged runs the box's handler now
}

std::string frmTamrel::textOf(const QLineEdit* box) const { return box->text().toStdString(); }

void frmTamrel::setCaption(QLabel* label, const std::string& caption) { label->setText(QString::fromStdString(caption)); }
std::string frmTamrel::captionOf(const QLabel* label) const { return label->text().toStdString(); }
void frmTamrel::setCaption(QPushButton* button, const std::string& caption) { button->setText(QString::fromStdString(caption)); }

void frmTamrel::clearLinePlots()
{
    pctDensityPlot->clear();
    pctPressurePlot->clear();
    pctVelocityPlot->clear();
}

void frmTamrel::paintLinePlots()
{
    pctDensityPlot_Paint();
    pctPressurePlot_Paint();
    pctVelocityPlot_Paint();
}

void frmTamrel::clearAndRepaintLinePlots()
{
    pctDensityPlot->clear();
    pctDensityPlot_Paint();
    pctPressurePlot->clear();
    pctPressurePlot_Paint();
    pctVelocityPlot->clear();
    pctVelocityPlot_Paint();
}

std::string frmTamrel::timeText(double t) { return "t=" + formatPattern(t, "#0.0####"); }

std::string frmTamrel::shortDate() const
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string frmTamrel::shortTime() const
{
    return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat).toStdString();
}

// --- Window events ------------------------------------------------------------

void frmTamrel::closeEvent(QCloseEvent* e)
{
    tmrMetronome->stop();
    SmallDib = GrayImage{};
    BigDib = GrayImage{};
    e->accept();
}

void frmTamrel::paintEvent(QPaintEvent*)
{
    // The window's background: a quiet wash from steel blue to paper.
    QPainter p(this);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(214, 224, 236));
    g.setColorAt(1, QColor(238, 236, 228));
    p.fillRect(rect(), g);
}

} // namespace tamrel
