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

-- Formats (device = 0) and devices (device = 1). Ids 7 and 36 are fixed:
-- choosing them burns a DVD-Video or an audio CD.
INSERT INTO tbl_FormatCategories VALUES
 (1, 'MP4', 'H.264 video with AAC audio', 'images/icons/mp4.png', 0, 0, 1),
 (2, 'MP3', 'MPEG layer 3 audio', 'images/icons/mp3.png', 0, 0, 2),
 (7, 'DVD', 'DVD-Video disc', 'images/icons/dvd.png', 0, 0, 3),
 (3, 'AVI', 'MPEG-4 Part 2 (Xvid) video with MP3 audio', 'images/icons/avi.png', 0, 0, 4),
 (4, 'MKV', 'Matroska: H.264 video with AAC audio', 'images/icons/mkv.png', 0, 0, 5),
 (13, 'M4A', 'AAC or Apple Lossless audio', 'images/icons/m4a.png', 0, 0, 6),
 (36, 'Audio CD', 'Audio CD disc', 'images/icons/audiocd.png', 0, 0, 7),
 (17, 'WAV', 'Uncompressed PCM audio', 'images/icons/wav.png', 0, 0, 8),
 (14, 'FLAC', 'Free Lossless Audio Codec', 'images/icons/flac.png', 0, 0, 9),
 (5, 'WebM', 'VP9 video with Opus audio', 'images/icons/webm.png', 0, 0, 10),
 (6, 'MOV', 'QuickTime: H.264 video with AAC audio', 'images/icons/mov.png', 0, 0, 11),
 (18, 'WMA', 'Windows Media Audio 2', 'images/icons/wma.png', 0, 0, 12),
 (8, 'MPEG', 'MPEG-2 or MPEG-1 program stream', 'images/icons/mpeg.png', 0, 0, 13),
 (15, 'OGG', 'Ogg Vorbis audio', 'images/icons/ogg.png', 0, 0, 14),
 (16, 'Opus', 'Opus audio', 'images/icons/opus.png', 0, 0, 15),
 (19, 'AC3', 'Dolby Digital (AC-3) audio', 'images/icons/ac3.png', 0, 0, 16),
 (9, 'WMV', 'Windows Media Video 8 with WMA audio', 'images/icons/wmv.png', 0, 0, 17),
 (10, 'FLV', 'Flash Video', 'images/icons/flv.png', 0, 0, 18),
 (11, '3GP', '3GPP for basic mobile phones', 'images/icons/3gp.png', 0, 0, 19),
 (12, 'OGV', 'Ogg: Theora video with Vorbis audio', 'images/icons/ogv.png', 0, 0, 20),

 (50, 'Apple iPhone', 'iPhone 8 and later', 'images/icons/apple-iphone.png', 1, 0, 1),
 (52, 'Samsung Galaxy', 'Galaxy S and A phones', 'images/icons/samsung-galaxy.png', 1, 0, 2),
 (54, 'Apple iPad', 'iPad, iPad Air, iPad mini, iPad Pro', 'images/icons/apple-ipad.png', 1, 0, 3),
 (51, 'Sony PlayStation', 'PlayStation 4 and 5 media player', 'images/icons/sony-playstation.png', 1, 0, 4),
 (60, 'Microsoft Xbox', 'Xbox One and Series X|S media player', 'images/icons/microsoft-xbox.png', 1, 0, 5),
 (62, 'Samsung TV', 'Samsung smart TVs (Tizen), USB playback', 'images/icons/samsung-tv.png', 1, 0, 6),
 (63, 'LG TV', 'LG smart TVs (webOS), USB playback', 'images/icons/lg-tv.png', 1, 0, 7),
 (53, 'Google Pixel', 'Pixel phones', 'images/icons/google-pixel.png', 1, 0, 8),
 (55, 'Samsung Galaxy Tab', 'Galaxy Tab S and A tablets', 'images/icons/samsung-galaxy-tab.png', 1, 0, 9),
 (56, 'Amazon Fire', 'Fire HD 8, Fire HD 10 and Fire 7 tablets', 'images/icons/amazon-fire.png', 1, 0, 10),
 (64, 'Apple TV', 'Apple TV HD and 4K', 'images/icons/apple-tv.png', 1, 0, 11),
 (65, 'Google Chromecast', 'Chromecast (HD models)', 'images/icons/google-chromecast.png', 1, 0, 12),
 (66, 'Roku', 'Roku players and TVs, Roku Media Player', 'images/icons/roku.png', 1, 0, 13),
 (57, 'Apple iPod', 'iPod touch, classic and nano', 'images/icons/apple-ipod.png', 1, 0, 14),
 (58, 'Sony Walkman', 'Walkman A and ZX series', 'images/icons/sony-walkman.png', 1, 0, 15),
 (59, 'SanDisk Clip', 'Clip Jam and Clip Sport players', 'images/icons/sandisk-clip.png', 1, 0, 16),
 (61, 'Sony PSP', 'PlayStation Portable, firmware 3.30 and later', 'images/icons/sony-psp.png', 1, 0, 17);

-- Presets. Ids are the format id times 100 plus a running number.
INSERT INTO tbl_OutputCategories VALUES
 -- MP4
 (101, '1080p', 1, 'images/icons/mp4-1080p.png', 'mp4', 0, 1, 'H.264, 1920x1080 box, AAC 192 kbit/s',
  '-s 1920x1080 -c:v libx264 -preset medium -crf 21 -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart'),
 (102, '720p', 1, 'images/icons/mp4-720p.png', 'mp4', 0, 2, 'H.264, 1280x720 box, AAC 160 kbit/s',
  '-s 1280x720 -c:v libx264 -preset medium -crf 22 -pix_fmt yuv420p -c:a aac -b:a 160k -movflags +faststart'),
 (103, 'HEVC 1080p', 1, 'images/icons/mp4-hevc.png', 'mp4', 0, 3, 'H.265, 1920x1080 box, AAC 192 kbit/s; tagged hvc1 for Apple players',
  '-s 1920x1080 -c:v libx265 -preset medium -crf 24 -pix_fmt yuv420p -tag:v hvc1 -c:a aac -b:a 192k -movflags +faststart'),
 (104, 'Low', 1, 'images/icons/mp4-low.png', 'mp4', 0, 4, 'H.264, 640x360 box, AAC 96 kbit/s',
  '-s 640x360 -c:v libx264 -preset medium -crf 24 -pix_fmt yuv420p -c:a aac -b:a 96k -movflags +faststart'),

 -- MKV
 (401, '1080p', 4, 'images/icons/mkv-1080p.png', 'mkv', 0, 1, 'H.264, 1920x1080 box, AAC 192 kbit/s',
  '-s 1920x1080 -c:v libx264 -preset medium -crf 21 -pix_fmt yuv420p -c:a aac -b:a 192k'),
 (402, '720p', 4, 'images/icons/mkv-720p.png', 'mkv', 0, 2, 'H.264, 1280x720 box, AAC 160 kbit/s',
  '-s 1280x720 -c:v libx264 -preset medium -crf 22 -pix_fmt yuv420p -c:a aac -b:a 160k'),
 (403, 'Low', 4, 'images/icons/mkv-low.png', 'mkv', 0, 3, 'H.264, 640x360 box, AAC 96 kbit/s',
  '-s 640x360 -c:v libx264 -preset medium -crf 24 -pix_fmt yuv420p -c:a aac -b:a 96k'),

 -- AVI: MPEG-4 Part 2 tagged XVID, which DivX/Xvid players look for
 (301, '720p', 3, 'images/icons/avi-720p.png', 'avi', 0, 1, 'MPEG-4 ASP, 1280x720 box, MP3 192 kbit/s',
  '-s 1280x720 -c:v mpeg4 -tag:v XVID -q:v 3 -c:a libmp3lame -b:a 192k'),
 (302, 'PAL', 3, 'images/icons/avi-pal.png', 'avi', 0, 2, 'MPEG-4 ASP, 720x576 box, 25 fps, MP3 160 kbit/s',
  '-s 720x576 -r 25 -c:v mpeg4 -tag:v XVID -q:v 3 -c:a libmp3lame -b:a 160k'),
 (303, 'NTSC', 3, 'images/icons/avi-ntsc.png', 'avi', 0, 3, 'MPEG-4 ASP, 720x480 box, 29.97 fps, MP3 160 kbit/s',
  '-s 720x480 -r 30000/1001 -c:v mpeg4 -tag:v XVID -q:v 3 -c:a libmp3lame -b:a 160k'),
 (304, 'Low', 3, 'images/icons/avi-low.png', 'avi', 0, 4, 'MPEG-4 ASP, 480x360 box, MP3 128 kbit/s',
  '-s 480x360 -c:v mpeg4 -tag:v XVID -q:v 5 -c:a libmp3lame -b:a 128k'),

 -- WebM
 (501, '1080p', 5, 'images/icons/webm-1080p.png', 'webm', 0, 1, 'VP9, 1920x1080 box, Opus 128 kbit/s',
  '-s 1920x1080 -c:v libvpx-vp9 -crf 31 -b:v 0 -deadline good -cpu-used 2 -row-mt 1 -pix_fmt yuv420p -c:a libopus -b:a 128k'),
 (502, '720p', 5, 'images/icons/webm-720p.png', 'webm', 0, 2, 'VP9, 1280x720 box, Opus 96 kbit/s',
  '-s 1280x720 -c:v libvpx-vp9 -crf 32 -b:v 0 -deadline good -cpu-used 2 -row-mt 1 -pix_fmt yuv420p -c:a libopus -b:a 96k'),
 (503, 'Low', 5, 'images/icons/webm-low.png', 'webm', 0, 3, 'VP9, 640x360 box, Opus 64 kbit/s',
  '-s 640x360 -c:v libvpx-vp9 -crf 36 -b:v 0 -deadline good -cpu-used 2 -row-mt 1 -pix_fmt yuv420p -c:a libopus -b:a 64k'),

 -- MOV
 (601, '1080p', 6, 'images/icons/mov-1080p.png', 'mov', 0, 1, 'H.264, 1920x1080 box, AAC 192 kbit/s',
  '-s 1920x1080 -c:v libx264 -preset medium -crf 21 -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart'),
 (602, '720p', 6, 'images/icons/mov-720p.png', 'mov', 0, 2, 'H.264, 1280x720 box, AAC 160 kbit/s',
  '-s 1280x720 -c:v libx264 -preset medium -crf 22 -pix_fmt yuv420p -c:a aac -b:a 160k -movflags +faststart'),
 (603, 'Low', 6, 'images/icons/mov-low.png', 'mov', 0, 3, 'H.264, 640x360 box, AAC 96 kbit/s',
  '-s 640x360 -c:v libx264 -preset medium -crf 24 -pix_fmt yuv420p -c:a aac -b:a 96k -movflags +faststart'),

 -- MPEG: MPEG-2 program streams at the broadcast rates, MPEG-1 for the low one
 (801, 'PAL', 8, 'images/icons/mpeg-pal.png', 'mpg', 0, 1, 'MPEG-2, 720x576 box, 25 fps, MP2 224 kbit/s',
  '-s 720x576 -r 25 -c:v mpeg2video -b:v 6000k -maxrate 9000k -bufsize 1835k -g 15 -bf 2 -pix_fmt yuv420p -c:a mp2 -b:a 224k -ar 48000 -f vob'),
 (802, 'NTSC', 8, 'images/icons/mpeg-ntsc.png', 'mpg', 0, 2, 'MPEG-2, 720x480 box, 29.97 fps, MP2 224 kbit/s',
  '-s 720x480 -r 30000/1001 -c:v mpeg2video -b:v 6000k -maxrate 9000k -bufsize 1835k -g 18 -bf 2 -pix_fmt yuv420p -c:a mp2 -b:a 224k -ar 48000 -f vob'),
 (803, '1080p', 8, 'images/icons/mpeg-1080p.png', 'mpg', 0, 3, 'MPEG-2 main profile high level, 1920x1080 box, MP2 384 kbit/s',
  '-s 1920x1080 -c:v mpeg2video -b:v 15000k -maxrate 25000k -bufsize 9781k -g 15 -bf 2 -pix_fmt yuv420p -c:a mp2 -b:a 384k -ar 48000 -f vob'),
 (804, 'Low', 8, 'images/icons/mpeg-low.png', 'mpg', 0, 4, 'MPEG-1, 352x288 box, MP2 224 kbit/s',
  '-s 352x288 -c:v mpeg1video -b:v 1150k -c:a mp2 -b:a 224k -ar 44100 -f mpeg'),

 -- WMV: the WMA encoder takes at most two channels
 (901, '720p', 9, 'images/icons/wmv-720p.png', 'wmv', 0, 1, 'WMV 8, 1280x720 box, WMA 192 kbit/s',
  '-s 1280x720 -c:v wmv2 -b:v 4000k -c:a wmav2 -b:a 192k -ac 2'),
 (902, '1080p', 9, 'images/icons/wmv-1080p.png', 'wmv', 0, 2, 'WMV 8, 1920x1080 box, WMA 192 kbit/s',
  '-s 1920x1080 -c:v wmv2 -b:v 8000k -c:a wmav2 -b:a 192k -ac 2'),
 (903, 'Low', 9, 'images/icons/wmv-low.png', 'wmv', 0, 3, 'WMV 8, 640x360 box, WMA 128 kbit/s',
  '-s 640x360 -c:v wmv2 -b:v 1000k -c:a wmav2 -b:a 128k -ac 2'),

 -- FLV: MP3 in FLV only at 44.1, 22.05 or 11.025 kHz
 (1001, '720p', 10, 'images/icons/flv-720p.png', 'flv', 0, 1, 'H.264, 1280x720 box, AAC 128 kbit/s',
  '-s 1280x720 -c:v libx264 -preset medium -crf 22 -pix_fmt yuv420p -c:a aac -b:a 128k -ar 44100'),
 (1002, 'Low', 10, 'images/icons/flv-low.png', 'flv', 0, 2, 'Sorenson Spark, 320x240 box, MP3 96 kbit/s',
  '-s 320x240 -c:v flv -b:v 500k -c:a libmp3lame -b:a 96k -ar 44100'),

 -- 3GP: MPEG-4 simple profile and H.264 baseline (H.263 only takes fixed frame sizes)
 (1101, 'Low', 11, 'images/icons/3gp-low.png', '3gp', 0, 1, 'MPEG-4 SP, 176x144 box, 15 fps, AAC mono 32 kbit/s',
  '-s 176x144 -c:v mpeg4 -b:v 128k -fpsmax 15 -c:a aac -b:a 32k -ac 1 -ar 22050'),
 (1102, 'QVGA', 11, 'images/icons/3gp-qvga.png', '3gp', 0, 2, 'H.264 Baseline 1.3, 320x240 box, 30 fps, AAC 64 kbit/s',
  '-s 320x240 -c:v libx264 -preset medium -profile:v baseline -level 1.3 -crf 23 -maxrate 768k -bufsize 768k -pix_fmt yuv420p -fpsmax 30 -c:a aac -b:a 64k -ac 2 -ar 44100'),

 -- OGV
 (1201, '720p', 12, 'images/icons/ogv-720p.png', 'ogv', 0, 1, 'Theora, 1280x720 box, Vorbis q5',
  '-s 1280x720 -c:v libtheora -q:v 7 -pix_fmt yuv420p -c:a libvorbis -q:a 5'),
 (1202, 'Low', 12, 'images/icons/ogv-low.png', 'ogv', 0, 2, 'Theora, 640x360 box, Vorbis q3',
  '-s 640x360 -c:v libtheora -q:v 5 -pix_fmt yuv420p -c:a libvorbis -q:a 3'),

 -- DVD: exact DVD frames; the picture is letterboxed or pillarboxed into the
 -- display shape (square pixels first, then scaled to the DVD frame)
 (701, 'PAL 16:9', 7, 'images/icons/dvd-pal-16x9.png', 'mpg', 0, 1, 'DVD-Video PAL, 720x576 widescreen',
  '-target pal-dvd -aspect 16:9 -pix_fmt yuv420p -vf scale=trunc(iw*sar/2)*2:ih,scale=1024:576:force_original_aspect_ratio=decrease:force_divisible_by=2,pad=1024:576:(ow-iw)/2:(oh-ih)/2'),
 (702, 'PAL 4:3', 7, 'images/icons/dvd-pal-4x3.png', 'mpg', 0, 2, 'DVD-Video PAL, 720x576 standard',
  '-target pal-dvd -aspect 4:3 -pix_fmt yuv420p -vf scale=trunc(iw*sar/2)*2:ih,scale=768:576:force_original_aspect_ratio=decrease:force_divisible_by=2,pad=768:576:(ow-iw)/2:(oh-ih)/2'),
 (703, 'NTSC 16:9', 7, 'images/icons/dvd-ntsc-16x9.png', 'mpg', 0, 3, 'DVD-Video NTSC, 720x480 widescreen',
  '-target ntsc-dvd -aspect 16:9 -pix_fmt yuv420p -vf scale=trunc(iw*sar/2)*2:ih,scale=854:480:force_original_aspect_ratio=decrease:force_divisible_by=2,pad=854:480:(ow-iw)/2:(oh-ih)/2'),
 (704, 'NTSC 4:3', 7, 'images/icons/dvd-ntsc-4x3.png', 'mpg', 0, 4, 'DVD-Video NTSC, 720x480 standard',
  '-target ntsc-dvd -aspect 4:3 -pix_fmt yuv420p -vf scale=trunc(iw*sar/2)*2:ih,scale=640:480:force_original_aspect_ratio=decrease:force_divisible_by=2,pad=640:480:(ow-iw)/2:(oh-ih)/2'),

 -- Audio CD: Red Book audio
 (3601, 'CD Audio', 36, 'images/icons/audiocd-wav.png', 'wav', 0, 1, '44.1 kHz 16-bit stereo',
  '-vn -ac 2 -ar 44100 -c:a pcm_s16le'),

 -- MP3: ID3v2.3 tags, which more players read than 2.4
 (201, '320 kbps', 2, 'images/icons/mp3-320.png', 'mp3', 0, 1, 'Constant 320 kbit/s',
  '-vn -c:a libmp3lame -b:a 320k -id3v2_version 3'),
 (202, '256 kbps', 2, 'images/icons/mp3-256.png', 'mp3', 0, 2, 'Constant 256 kbit/s',
  '-vn -c:a libmp3lame -b:a 256k -id3v2_version 3'),
 (203, '192 kbps', 2, 'images/icons/mp3-192.png', 'mp3', 0, 3, 'Constant 192 kbit/s',
  '-vn -c:a libmp3lame -b:a 192k -id3v2_version 3'),
 (204, '128 kbps', 2, 'images/icons/mp3-128.png', 'mp3', 0, 4, 'Constant 128 kbit/s',
  '-vn -c:a libmp3lame -b:a 128k -id3v2_version 3'),
 (205, '96 kbps', 2, 'images/icons/mp3-96.png', 'mp3', 0, 5, 'Constant 96 kbit/s',
  '-vn -c:a libmp3lame -b:a 96k -id3v2_version 3'),
 (206, '48 kbps', 2, 'images/icons/mp3-48.png', 'mp3', 0, 6, 'Mono 48 kbit/s, for speech',
  '-vn -c:a libmp3lame -b:a 48k -ac 1 -id3v2_version 3'),

 -- M4A
 (1301, '256 kbps', 13, 'images/icons/m4a-256.png', 'm4a', 0, 1, 'AAC-LC 256 kbit/s',
  '-vn -c:a aac -b:a 256k -movflags +faststart'),
 (1302, '192 kbps', 13, 'images/icons/m4a-192.png', 'm4a', 0, 2, 'AAC-LC 192 kbit/s',
  '-vn -c:a aac -b:a 192k -movflags +faststart'),
 (1303, '128 kbps', 13, 'images/icons/m4a-128.png', 'm4a', 0, 3, 'AAC-LC 128 kbit/s',
  '-vn -c:a aac -b:a 128k -movflags +faststart'),
 (1304, '96 kbps', 13, 'images/icons/m4a-96.png', 'm4a', 0, 4, 'AAC-LC 96 kbit/s',
  '-vn -c:a aac -b:a 96k -movflags +faststart'),
 (1305, 'Lossless', 13, 'images/icons/m4a-alac.png', 'm4a', 0, 5, 'Apple Lossless (ALAC)',
  '-vn -c:a alac -movflags +faststart'),

 -- WAV: switches to RF64 only when the file outgrows the 4 GB RIFF limit
 (1701, '16-bit', 17, 'images/icons/wav-16bit.png', 'wav', 0, 1, 'PCM 16-bit, source rate and channels',
  '-vn -c:a pcm_s16le -rf64 auto'),
 (1702, '24-bit', 17, 'images/icons/wav-24bit.png', 'wav', 0, 2, 'PCM 24-bit, source rate and channels',
  '-vn -c:a pcm_s24le -rf64 auto'),

 -- FLAC: level 8 is the strongest that stays within the streamable subset
 (1401, 'Standard', 14, 'images/icons/flac-standard.png', 'flac', 0, 1, 'Compression level 5',
  '-vn -c:a flac -compression_level 5'),
 (1402, 'Best', 14, 'images/icons/flac-best.png', 'flac', 0, 2, 'Compression level 8',
  '-vn -c:a flac -compression_level 8'),

 -- WMA
 (1801, '192 kbps', 18, 'images/icons/wma-192.png', 'wma', 0, 1, 'WMA 2, 192 kbit/s stereo',
  '-vn -c:a wmav2 -b:a 192k -ac 2'),
 (1802, '128 kbps', 18, 'images/icons/wma-128.png', 'wma', 0, 2, 'WMA 2, 128 kbit/s stereo',
  '-vn -c:a wmav2 -b:a 128k -ac 2'),
 (1803, '96 kbps', 18, 'images/icons/wma-96.png', 'wma', 0, 3, 'WMA 2, 96 kbit/s stereo',
  '-vn -c:a wmav2 -b:a 96k -ac 2'),

 -- OGG: quality levels, so mono and surround sources work too; captions give
 -- the nominal stereo bitrate
 (1501, '320 kbps', 15, 'images/icons/ogg-320.png', 'ogg', 0, 1, 'Vorbis quality 9',
  '-vn -c:a libvorbis -q:a 9'),
 (1502, '256 kbps', 15, 'images/icons/ogg-256.png', 'ogg', 0, 2, 'Vorbis quality 8',
  '-vn -c:a libvorbis -q:a 8'),
 (1503, '192 kbps', 15, 'images/icons/ogg-192.png', 'ogg', 0, 3, 'Vorbis quality 6',
  '-vn -c:a libvorbis -q:a 6'),
 (1504, '128 kbps', 15, 'images/icons/ogg-128.png', 'ogg', 0, 4, 'Vorbis quality 4',
  '-vn -c:a libvorbis -q:a 4'),
 (1505, '96 kbps', 15, 'images/icons/ogg-96.png', 'ogg', 0, 5, 'Vorbis quality 2',
  '-vn -c:a libvorbis -q:a 2'),

 -- Opus
 (1601, '192 kbps', 16, 'images/icons/opus-192.png', 'opus', 0, 1, 'Opus 192 kbit/s',
  '-vn -c:a libopus -b:a 192k'),
 (1602, '128 kbps', 16, 'images/icons/opus-128.png', 'opus', 0, 2, 'Opus 128 kbit/s',
  '-vn -c:a libopus -b:a 128k'),
 (1603, '96 kbps', 16, 'images/icons/opus-96.png', 'opus', 0, 3, 'Opus 96 kbit/s',
  '-vn -c:a libopus -b:a 96k'),
 (1604, '48 kbps', 16, 'images/icons/opus-48.png', 'opus', 0, 4, 'Opus 48 kbit/s, for speech',
  '-vn -c:a libopus -b:a 48k'),

 -- AC3
 (1901, '448 kbps', 19, 'images/icons/ac3-448.png', 'ac3', 0, 1, 'AC-3 448 kbit/s (DVD 5.1)',
  '-vn -c:a ac3 -b:a 448k'),
 (1902, '640 kbps', 19, 'images/icons/ac3-640.png', 'ac3', 0, 2, 'AC-3 640 kbit/s (Blu-ray 5.1)',
  '-vn -c:a ac3 -b:a 640k'),
 (1903, '384 kbps', 19, 'images/icons/ac3-384.png', 'ac3', 0, 3, 'AC-3 384 kbit/s',
  '-vn -c:a ac3 -b:a 384k'),
 (1904, '192 kbps', 19, 'images/icons/ac3-192.png', 'ac3', 0, 4, 'AC-3 192 kbit/s (stereo)',
  '-vn -c:a ac3 -b:a 192k'),

 -- Devices. H.264 presets name the profile and level the device lists and cap
 -- the frame rate so that the largest frame in the box stays inside that level.
 -- Apple iPhone: H.264 High up to level 4.2, HEVC, AAC-LC up to 160 kbit/s 48 kHz stereo
 (5001, '1080p', 50, 'images/icons/apple-iphone-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 21 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),
 (5002, 'HEVC 1080p', 50, 'images/icons/apple-iphone-hevc.png', 'mp4', 0, 2, 'H.265 Main, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1920x1080 -c:v libx265 -preset medium -crf 24 -pix_fmt yuv420p -tag:v hvc1 -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),
 (5003, '720p', 50, 'images/icons/apple-iphone-720p.png', 'mp4', 0, 3, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Samsung Galaxy phones
 (5201, '1080p', 52, 'images/icons/samsung-galaxy-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 21 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (5202, '720p', 52, 'images/icons/samsung-galaxy-720p.png', 'mp4', 0, 2, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Google Pixel: also decodes VP9 in hardware
 (5301, '1080p', 53, 'images/icons/google-pixel-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 21 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (5302, 'WebM 1080p', 53, 'images/icons/google-pixel-webm.png', 'webm', 0, 2, 'VP9 profile 0, up to 60 fps, Opus 128 kbit/s stereo',
  '-s 1920x1080 -c:v libvpx-vp9 -crf 31 -b:v 0 -deadline good -cpu-used 2 -row-mt 1 -pix_fmt yuv420p -fpsmax 60 -c:a libopus -b:a 128k -ac 2'),
 (5303, '720p', 53, 'images/icons/google-pixel-720p.png', 'mp4', 0, 3, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Apple iPad: as the iPhone
 (5401, '1080p', 54, 'images/icons/apple-ipad-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 21 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),
 (5402, '720p', 54, 'images/icons/apple-ipad-720p.png', 'mp4', 0, 2, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Samsung Galaxy Tab
 (5501, '1080p', 55, 'images/icons/samsung-galaxy-tab-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 21 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (5502, '720p', 55, 'images/icons/samsung-galaxy-tab-720p.png', 'mp4', 0, 2, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Amazon Fire tablets: 1080p at 30 fps on the HD models, the Fire 7 screen is 1024x600
 (5601, 'Fire HD', 56, 'images/icons/amazon-fire-hd.png', 'mp4', 0, 1, 'H.264 High 4.1, up to 30 fps, AAC 160 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.1 -crf 21 -pix_fmt yuv420p -fpsmax 30 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),
 (5602, 'Fire 7', 56, 'images/icons/amazon-fire-7.png', 'mp4', 0, 2, 'H.264 Main 3.1, 1024x600 box, up to 30 fps, AAC 128 kbit/s stereo',
  '-s 1024x600 -c:v libx264 -preset medium -profile:v main -level 3.1 -crf 22 -pix_fmt yuv420p -fpsmax 30 -c:a aac -b:a 128k -ac 2 -ar 48000 -movflags +faststart'),

 -- Apple TV HD and 4K: H.264 High up to level 4.2, AAC up to 320 kbit/s
 (6401, '1080p', 64, 'images/icons/apple-tv-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 256 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 256k -ac 2 -ar 48000 -movflags +faststart'),
 (6402, '720p', 64, 'images/icons/apple-tv-720p.png', 'mp4', 0, 2, 'H.264 High 3.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 21 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),

 -- Google Chromecast (HD models): H.264 High up to level 4.1, so 1080p at 30 fps or 720p at 60
 (6501, '1080p', 65, 'images/icons/google-chromecast-1080p.png', 'mp4', 0, 1, 'H.264 High 4.1, up to 30 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.1 -crf 21 -pix_fmt yuv420p -fpsmax 30 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (6502, '720p', 65, 'images/icons/google-chromecast-720p.png', 'mp4', 0, 2, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Roku: H.264 High up to level 4.1 on the HD models
 (6601, '1080p', 66, 'images/icons/roku-1080p.png', 'mp4', 0, 1, 'H.264 High 4.1, up to 30 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.1 -crf 21 -pix_fmt yuv420p -fpsmax 30 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (6602, '720p', 66, 'images/icons/roku-720p.png', 'mp4', 0, 2, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Sony PlayStation 4/5: H.264 High up to level 4.2; AAC-LC or AC-3 (also in MKV)
 (5101, '1080p', 51, 'images/icons/sony-playstation-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (5102, '1080p 5.1', 51, 'images/icons/sony-playstation-51.png', 'mkv', 0, 2, 'H.264 High 4.2, up to 60 fps, AC-3 448 kbit/s up to 5.1',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a ac3 -b:a 448k -ar 48000'),
 (5103, '720p', 51, 'images/icons/sony-playstation-720p.png', 'mp4', 0, 3, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Microsoft Xbox One and Series: as the PlayStation
 (6001, '1080p', 60, 'images/icons/microsoft-xbox-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (6002, '1080p 5.1', 60, 'images/icons/microsoft-xbox-51.png', 'mkv', 0, 2, 'H.264 High 4.2, up to 60 fps, AC-3 448 kbit/s up to 5.1',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a ac3 -b:a 448k -ar 48000'),
 (6003, '720p', 60, 'images/icons/microsoft-xbox-720p.png', 'mp4', 0, 3, 'H.264 High 3.2, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),

 -- Samsung TVs (Tizen): H.264 High up to 4.2 for 1080p, HEVC Main, AAC or AC-3
 (6201, '1080p', 62, 'images/icons/samsung-tv-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (6202, '1080p 5.1', 62, 'images/icons/samsung-tv-51.png', 'mkv', 0, 2, 'H.264 High 4.2, up to 60 fps, AC-3 448 kbit/s up to 5.1',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a ac3 -b:a 448k -ar 48000'),
 (6203, 'HEVC 1080p', 62, 'images/icons/samsung-tv-hevc.png', 'mkv', 0, 3, 'H.265 Main, up to 60 fps, AC-3 448 kbit/s up to 5.1',
  '-s 1920x1080 -c:v libx265 -preset medium -crf 23 -pix_fmt yuv420p -fpsmax 60 -c:a ac3 -b:a 448k -ar 48000'),

 -- LG TVs (webOS): as the Samsung TVs
 (6301, '1080p', 63, 'images/icons/lg-tv-1080p.png', 'mp4', 0, 1, 'H.264 High 4.2, up to 60 fps, AAC 192 kbit/s stereo',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 192k -ac 2 -ar 48000 -movflags +faststart'),
 (6302, '1080p 5.1', 63, 'images/icons/lg-tv-51.png', 'mkv', 0, 2, 'H.264 High 4.2, up to 60 fps, AC-3 448 kbit/s up to 5.1',
  '-s 1920x1080 -c:v libx264 -preset medium -profile:v high -level 4.2 -crf 20 -pix_fmt yuv420p -fpsmax 60 -c:a ac3 -b:a 448k -ar 48000'),
 (6303, 'HEVC 1080p', 63, 'images/icons/lg-tv-hevc.png', 'mkv', 0, 3, 'H.265 Main, up to 60 fps, AC-3 448 kbit/s up to 5.1',
  '-s 1920x1080 -c:v libx265 -preset medium -crf 23 -pix_fmt yuv420p -fpsmax 60 -c:a ac3 -b:a 448k -ar 48000'),

 -- Apple iPod: touch as iOS; classic and nano take H.264 Baseline 3.0 up to
 -- 640x480 at 2.5 Mbit/s, the smallest screens Baseline 1.3 at 768 kbit/s;
 -- AAC-LC up to 160 kbit/s 48 kHz stereo
 (5701, 'iPod touch', 57, 'images/icons/apple-ipod-touch.png', 'mp4', 0, 1, 'H.264 High 3.2, 1280x720 box, up to 60 fps, AAC 160 kbit/s stereo',
  '-s 1280x720 -c:v libx264 -preset medium -profile:v high -level 3.2 -crf 22 -pix_fmt yuv420p -fpsmax 60 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),
 (5702, 'iPod classic', 57, 'images/icons/apple-ipod-classic.png', 'm4v', 0, 2, 'H.264 Baseline 3.0, 640x480 box, 30 fps, 2.5 Mbit/s, AAC 160 kbit/s stereo',
  '-s 640x480 -c:v libx264 -preset medium -profile:v baseline -level 3.0 -refs 1 -crf 23 -maxrate 2500k -bufsize 2500k -pix_fmt yuv420p -fpsmax 30 -c:a aac -b:a 160k -ac 2 -ar 48000 -movflags +faststart'),
 (5703, 'iPod nano', 57, 'images/icons/apple-ipod-nano.png', 'm4v', 0, 3, 'H.264 Baseline 1.3, 320x240 box, 30 fps, 768 kbit/s, AAC 128 kbit/s stereo',
  '-s 320x240 -c:v libx264 -preset medium -profile:v baseline -level 1.3 -refs 1 -crf 23 -maxrate 768k -bufsize 768k -pix_fmt yuv420p -fpsmax 30 -c:a aac -b:a 128k -ac 2 -ar 48000 -movflags +faststart'),

 -- Sony Walkman A/ZX: MP3, AAC and FLAC (hi-res), stereo
 (5801, 'MP3 320', 58, 'images/icons/sony-walkman-mp3.png', 'mp3', 0, 1, 'MP3 320 kbit/s stereo',
  '-vn -c:a libmp3lame -b:a 320k -ac 2 -id3v2_version 3'),
 (5802, 'AAC 256', 58, 'images/icons/sony-walkman-aac.png', 'm4a', 0, 2, 'AAC-LC 256 kbit/s stereo',
  '-vn -c:a aac -b:a 256k -ac 2 -movflags +faststart'),
 (5803, 'FLAC', 58, 'images/icons/sony-walkman-flac.png', 'flac', 0, 3, 'FLAC stereo, source rate and depth',
  '-vn -c:a flac -compression_level 8 -ac 2'),

 -- SanDisk Clip: MP3, and FLAC kept to 16-bit 44.1 kHz
 (5901, 'MP3 320', 59, 'images/icons/sandisk-clip-320.png', 'mp3', 0, 1, 'MP3 320 kbit/s stereo',
  '-vn -c:a libmp3lame -b:a 320k -ac 2 -id3v2_version 3'),
 (5902, 'MP3 192', 59, 'images/icons/sandisk-clip-192.png', 'mp3', 0, 2, 'MP3 192 kbit/s stereo',
  '-vn -c:a libmp3lame -b:a 192k -ac 2 -id3v2_version 3'),
 (5903, 'FLAC', 59, 'images/icons/sandisk-clip-flac.png', 'flac', 0, 3, 'FLAC 16-bit 44.1 kHz stereo',
  '-vn -c:a flac -compression_level 5 -sample_fmt s16 -ar 44100 -ac 2'),

 -- Sony PSP: only fixed frame sizes play, so the picture is boxed into an exact
 -- 480x272 frame; H.264 Main 3.0 without B-pyramid at 29.97 fps, AAC 48 kHz
 (6101, '480x272', 61, 'images/icons/sony-psp-480x272.png', 'mp4', 0, 1, 'H.264 Main 3.0, 480x272, 29.97 fps, AAC 128 kbit/s stereo',
  '-s 480x272 -vf scale=trunc(iw*sar/2)*2:ih,scale=480:272:force_original_aspect_ratio=decrease:force_divisible_by=2,pad=480:272:(ow-iw)/2:(oh-ih)/2 -aspect 30:17 -c:v libx264 -preset medium -profile:v main -level 3.0 -refs 3 -b-pyramid none -crf 21 -maxrate 2000k -bufsize 2000k -pix_fmt yuv420p -r 30000/1001 -c:a aac -b:a 128k -ac 2 -ar 48000 -movflags +faststart');

COMMIT;
