#include "platform/wallpaper.h"

#include <cstdlib>
#include <memory>

#include <gio/gio.h>

namespace platform {

namespace {

constexpr const char* BackgroundSchema = "org.gnome.desktop.background";

struct TObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct TSchemaUnref {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
struct TFree {
    void operator()(gchar* text) const { g_free(text); }
};

const char* OptionFor(TWallpaperStyle style)
{
    switch (style) {
    case TWallpaperStyle::Centred: return "centered";
    case TWallpaperStyle::Tiled: return "wallpaper";
    case TWallpaperStyle::Stretched: return "stretched";
    case TWallpaperStyle::None: break;
    }
    return "none";
}

}  // namespace

TWallpaperResult SetWallpaper(const std::string& path, TWallpaperStyle style)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    const std::unique_ptr<GSettingsSchema, TSchemaUnref> schema(
        source != nullptr ? g_settings_schema_source_lookup(source, BackgroundSchema, TRUE) : nullptr);
    if (schema == nullptr)
        return TWallpaperResult::NoDesktopSetting;
    const std::unique_ptr<GSettings, TObjectUnref> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    if (style != TWallpaperStyle::None) {
        const std::unique_ptr<gchar, TFree> uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
        if (uri != nullptr) {
            // Older desktops know only the light look's key.
            for (const char* key : {"picture-uri", "picture-uri-dark"}) {
                if (g_settings_schema_has_key(schema.get(), key))
                    g_settings_set_string(settings.get(), key, uri.get());
            }
        }
    }
    g_settings_set_string(settings.get(), "picture-options", OptionFor(style));
    g_settings_sync();
    return TWallpaperResult::Set;
}

std::string WallpaperFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return std::string(data) + "/backgrounds";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/backgrounds";
}

}  // namespace platform
