-- The catalogue of input kinds, devices, formats and output presets.
-- Columns are read by position, so their order matters:
--   tbl_AddCategories     id, caption, description, icon, open_title, open_filter
--   tbl_FormatCategories  id, caption, description, icon, device, count, default_pos
--   tbl_OutputCategories  id, caption, format, icon, extension, count, default_pos,
--                         description, args
-- Video presets carry their frame box as the second argument ("-s WxH ...");
-- presets that must keep an exact frame carry "-aspect"; audio presets start with "-vn".

BEGIN TRANSACTION;

CREATE TABLE tbl_AddCategories (
  id INTEGER PRIMARY KEY,
  caption TEXT NOT NULL,
  description TEXT,
  icon TEXT NOT NULL,
  open_title TEXT NOT NULL,
  open_filter TEXT NOT NULL
);

CREATE TABLE tbl_FormatCategories (
  id INTEGER PRIMARY KEY,
  caption TEXT NOT NULL,
  description TEXT,
  icon TEXT NOT NULL,
  device INTEGER NOT NULL DEFAULT 0,
  count INTEGER NOT NULL DEFAULT 0,
  default_pos INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE tbl_OutputCategories (
  id INTEGER PRIMARY KEY,
  caption TEXT NOT NULL,
  format INTEGER NOT NULL REFERENCES tbl_FormatCategories(id),
  icon TEXT NOT NULL,
  extension TEXT NOT NULL,
  count INTEGER NOT NULL DEFAULT 0,
  default_pos INTEGER NOT NULL DEFAULT 0,
  description TEXT,
  args TEXT NOT NULL
);

INSERT INTO tbl_AddCategories VALUES
 (1, 'Audio', 'Audio files', 'images/icons/audio.png', 'Add Audio Files',
  'Audio Files (*.aa *.aac *.aax *.aif *.aifc *.aiff *.amr *.f4a *.f4b *.flac *.m1a *.m2a *.m4a *.m4b *.m4p *.m4r *.mka *.mp1 *.mp2 *.mp3 *.mpa *.oga *.ogg *.qcp *.ra *.ram *.spx *.wav *.wma);;All Files (*)'),
 (2, 'Video', 'Video files', 'images/icons/video.png', 'Add Video Files',
  'Video Files (*.3g2 *.3gp *.avi *.divx *.f4p *.f4v *.flv *.m1v *.m2ts *.m4v *.mk3d *.mkv *.mov *.mp4 *.mpeg *.mpg *.mpv *.mts *.ogv *.ogx *.qt *.rm *.swf *.vob *.webm *.wmv *.xvid);;All Files (*)');

INSERT INTO tbl_FormatCategories VALUES
 (1, 'MP4', 'H.264 video with AAC audio', 'images/icons/mp4.png', 0, 0, 1),
 (2, 'MP3', 'MPEG layer 3 audio', 'images/icons/mp3.png', 0, 0, 2),
 (3, 'AVI', 'MPEG-4 video with MP3 audio', 'images/icons/avi.png', 0, 0, 3),
 (7, 'DVD', 'DVD-Video disc', 'images/icons/dvd.png', 0, 0, 4),
 (36, 'Audio CD', 'Audio CD disc', 'images/icons/audiocd.png', 0, 0, 5),
 (50, 'iPhone', 'Apple iPhone', 'images/icons/apple-iphone.png', 1, 0, 1),
 (51, 'PlayStation', 'Sony PlayStation', 'images/icons/sony-playstation.png', 1, 0, 2);

INSERT INTO tbl_OutputCategories VALUES
 (1, '720p', 1, 'images/icons/mp4-720p.png', 'mp4', 0, 1, 'HD 1280x720',
  '-s 1280x720 -c:v libx264 -preset medium -crf 22 -pix_fmt yuv420p -c:a aac -b:a 160k -movflags +faststart'),
 (2, 'Low', 1, 'images/icons/mp4-low.png', 'mp4', 0, 2, 'Small 480x360',
  '-s 480x360 -c:v libx264 -preset medium -crf 26 -pix_fmt yuv420p -c:a aac -b:a 96k -movflags +faststart'),
 (3, '192', 2, 'images/icons/mp3-192.png', 'mp3', 0, 1, '192 kbit/s',
  '-vn -c:a libmp3lame -b:a 192k'),
 (4, '128', 2, 'images/icons/mp3-128.png', 'mp3', 0, 2, '128 kbit/s',
  '-vn -c:a libmp3lame -b:a 128k'),
 (5, 'Low', 3, 'images/icons/avi-low.png', 'avi', 0, 1, 'MPEG-4 Part 2, 640x480',
  '-s 640x480 -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 128k'),
 (6, 'PAL 16:9', 7, 'images/icons/dvd-pal-16x9.png', 'mpg', 0, 1, 'PAL widescreen',
  '-target pal-dvd -aspect 16:9'),
 (7, 'NTSC 16:9', 7, 'images/icons/dvd-ntsc-16x9.png', 'mpg', 0, 2, 'NTSC widescreen',
  '-target ntsc-dvd -aspect 16:9'),
 (8, 'WAV', 36, 'images/icons/audiocd-wav.png', 'wav', 0, 1, '44.1 kHz 16-bit stereo',
  '-vn -ac 2 -ar 44100 -c:a pcm_s16le'),
 (9, 'iPhone', 50, 'images/icons/apple-iphone.png', 'mp4', 0, 1, 'H.264 High, 1920x1080',
  '-s 1920x1080 -c:v libx264 -profile:v high -level 4.1 -crf 22 -pix_fmt yuv420p -c:a aac -b:a 160k -movflags +faststart'),
 (10, 'PlayStation', 51, 'images/icons/sony-playstation.png', 'mp4', 0, 1, 'H.264 High, 1920x1080',
  '-s 1920x1080 -c:v libx264 -profile:v high -level 4.2 -crf 21 -pix_fmt yuv420p -c:a aac -b:a 192k');

COMMIT;
