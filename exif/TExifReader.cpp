#include "exif/TExifReader.h"

#include "exif/ExifTexts.h"
#include "exif/TExif.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

QString joined(const QString& a, const char* glue, const QString& b)
{
    return a + QLatin1String(glue) + b;
}

QString parenthesised(const QString& a, const QString& b)
{
    return a + QStringLiteral(" (") + b + u')';
}

} // namespace

TExifRect TExifReader::FocusFrame(const TOlympusAFArea& firstArea, int x1, int y1)
{
    // The area and point come from the file: in 32 bits a crafted size of +-2^31 overflows.
    const auto clamp = [](qint64 v) {
        return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    const qint64 left = qint64(x1) - qint64(firstArea.A) / 2;
    const qint64 top = qint64(y1) - qint64(firstArea.B) / 2;
    TExifRect frame;
    frame.Left = clamp(left);
    frame.Top = clamp(top);
    frame.Right = clamp(left + firstArea.A);
    frame.Bottom = clamp(top + firstArea.B);
    return frame;
}

void TExifReader::Fill(
    QList<TExifRowSection>& list, const QString& fileName, TExifRect& focusFrame, QList<TExifRect>& faces)
{
    list.clear();
    focusFrame = TExifRect();
    faces.clear();
    const QFileInfo info(fileName);
    if (!info.isFile() || info.suffix().compare(QLatin1String("JPG"), Qt::CaseInsensitive) != 0)
        return;
    TExif exif;
    if (!exif.LoadFromFile(fileName))
        return;
    Fill(list, exif, focusFrame, faces);
}

void TExifReader::Fill(
    QList<TExifRowSection>& list, const TExif& exif, TExifRect& focusFrame, QList<TExifRect>& faces)
{
    RegisterExifTexts();
    list.clear();
    focusFrame = TExifRect();
    faces.clear();

    const TExifData& d = exif.ExifData();
    const TExifSection& e = d.ExifSection;
    const TGpsSection& g = d.GpsSection;
    const TOlympusSection& o = e.OlympusSection;
    const TOlympusEquipmentSection& eq = o.EquipmentSection;
    const TOlympusCameraSettingsSection& cs = o.CameraSettingsSection;
    const TOlympusImageProcessingSection& ip = o.ImageProcessingSection;
    const TOlympusFocusInfoSection& fi = o.FocusInfoSection;

    const auto section = [&list](const char* name) { list.append({ rs(name), {} }); };
    const auto row = [&list](const char* name, const QString& value) {
        list.last().Rows.append({ rs(name), value });
    };
    const QString unknown = rs("_rsExifUnknown");

    section("_rsGeneral");
    row("_rsAuthor", d.Author);
    row("_rsCopyright", d.Copyright);
    row("_rsReleaseDate", d.ReleaseDate);

    section("_rsHardware");
    row("_rsCamera", parenthesised(d.CameraModel, eq.SerialNumber));
    row("_rsCameraFirmware", eq.BodyFirmwareVersion);
    row("_rsInternalSerialNumber", eq.InternalSerialNumber);
    row("_rsLens", parenthesised(eq.LensModel, eq.LensSerialNumber));
    row("_rsLensFirmware", eq.LensFirmwareVersion);
    row("_rsFocalLengthRange", joined(eq.MinFocalLength, " - ", eq.MaxFocalLength));
    row("_rsFocalPlaneDiagonal", eq.FocalPlaneDiagonal);
    row("_rsSensorTemperature", fi.SensorTemperature);

    section("_rsCameraSettings");
    row("_rsResolution", joined(e.PixelXDimension, " x ", e.PixelYDimension));
    row("_rsCompressionFactor", cs.CompressionFactor);
    row("_rsFocalLength", e.FocalLength);
    row("_rsFocusMode", cs.FocusMode);
    row("_rsFocusProcess", cs.FocusProcess);
    row("_rsFocusDistance", fi.FocusDistance);
    row("_rsAFFocusAdjust", cs.AFFocusAdjust);
    row("_rsAFSearch", cs.AFSearch);
    row("_rsFaceDetect", ip.FaceDetect);
    row("_rsArtFilter", cs.PMArtFilter2 == unknown ? cs.ArtFilter : cs.PMArtFilter2);
    row("_rsPMEffect", cs.PMEffect);
    row("_rsDriveMode", cs.DriveMode);
    row("_rsPanoramaMode", cs.PanoramaMode);
    row("_rsExposureMode", cs.ExposureMode);
    row("_rsExposureTime", e.ExposureTime);
    // What the photographer dialled; the maker note's exposure shift is another setting and
    // gets its own row where the camera records one.
    row("_rsExposureBias", e.ExposureBiasValue);
    if (!cs.ExposureShift.isEmpty() && cs.ExposureShift != unknown)
        row("_rsExposureShift", cs.ExposureShift);
    row("_rsMeteringMode", e.MeteringMode);
    row("_rsPictureMode", cs.PictureMode);
    row("_rsMacroMode", cs.MacroMode);
    row("_rsFNumber", e.FNumber);
    row("_rsAELock", cs.AELock);
    row("_rsISOSensitivity", e.ISOSpeedRatings);
    row("_rsWhiteBalance", cs.WhiteBalance);
    row("_rsWhitebalanceTemperature", cs.WhiteBalanceTemperature);
    row("_rsExtendedWBDetect", cs.ExtendedWBDetect);
    row("_rsNoiseReduction", cs.NoiseReduction);
    row("_rsNoiseFilter", cs.NoiseFilter);
    row("_rsColorSpace", cs.ColorSpace);
    row("_rsComponentsConfiguration", e.ComponentsConfiguration);
    row("_rsContrastSetting", cs.ContrastSetting);
    row("_rsSaturation", joined(e.Saturation, ", ", cs.CustomSaturation));
    row("_rsModifiedSaturation", cs.ModifiedSaturation);
    row("_rsSharpness", joined(e.Sharpness, ", ", cs.SharpnessSetting));
    row("_rsDistortionCorrection", cs.DistortionCorrection);
    row("_rsGradation", cs.Gradation);
    row("_rsGradationSettings", cs.GradationManualSettings);
    row("_rsShadingCompensation", cs.ShadingCompensation);
    row("_rsPictureModeBWFilter", cs.PictureModeBWFilter);
    row("_rsPictureModeTone", cs.PictureModeTone);
    row("_rsDigitalZoomRatio", e.DigitalZoomRatio);
    row("_rsImageStabilization", cs.ImageStabilization);
    row("_rsFlash", e.Flash);
    row("_rsFlashMode", cs.FlashMode);
    row("_rsFlashRemoteControl", cs.FlashRemoteControl);
    row("_rsLightSource", e.LightSource);
    row("_rsSceneCaptureType", cs.SceneMode == unknown ? e.SceneCaptureType : cs.SceneMode);
    row("_rsSensetivityType", e.SensitivityType);

    section("_rsGPSData");
    row("_rsLatitude", joined(g.Latitude, " ", g.LatitudeRef));
    row("_rsLongitude", joined(g.Longitude, " ", g.LongitudeRef));
    row("_rsAltitude", parenthesised(g.Altitude, g.AltitudeRef));
    row("_rsStatus", g.Status);

    // Without a selected AF point (some bodies write it undefined) there is no centre to put the area
    // on; a frame at the picture's corner would point at the wrong place.
    const QList<TOlympusAFArea>& areas = cs.AFAreaList();
    const TOlympusAFPoint& point = cs.SelectedAFPoint();
    if (!areas.isEmpty() && cs.HasSelectedAFPoint())
        focusFrame = FocusFrame(areas.first(), point.X1, point.Y1);
    for (const TOlympusFaceRect& face : ip.FaceRects())
        faces.append({ face.Left, face.Top, face.Right, face.Bottom });
}
