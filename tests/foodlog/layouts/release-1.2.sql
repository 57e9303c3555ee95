-- SPDX-License-Identifier: GPL-3.0-or-later
-- 1.2: the tables of 1.1 and the ranges of the food log's tables (triggers), as that release
-- made them, with a few rows.
CREATE TABLE "02" (id INTEGER PRIMARY KEY, category TEXT);
CREATE TABLE "01" (id INTEGER PRIMARY KEY, category TEXT, food TEXT, portion TEXT, kcal NUMERIC);
CREATE TABLE "sp" (id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, demo TEXT);
CREATE TABLE "yd" (id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, demo TEXT);
CREATE TABLE "xd" (id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, demo TEXT);
CREATE TABLE "rj" (id INTEGER PRIMARY KEY AUTOINCREMENT, time TEXT DEFAULT (strftime('%Y-%m-%d %H:%M','now','localtime')), Name TEXT, demo TEXT);
INSERT INTO "02" (id, category) VALUES (1, '谷薯主食'), (2, '蔬菜');
INSERT INTO "01" (id, category, food, portion, kcal) VALUES (1, '谷薯主食', '米饭', '100克', 116), (2, '谷薯主食', '馒头', '100克', 223), (3, '蔬菜', '西红柿', '100克', 15), (4, '蔬菜', '黄瓜', '100克', 16);
INSERT INTO sp (Name, demo) VALUES ('西红柿炒蛋', '少油'), ('凉拌黄瓜', '');
INSERT INTO yd (Name, demo) VALUES ('快走', '每天 30 分钟');
INSERT INTO rj (time, Name, demo) VALUES ('2026-11-02 08:15', '第一天', '早饭一碗粥'), ('2026-11-03 21:40', '第二天', NULL);
DELETE FROM yd WHERE id = 1;
INSERT INTO yd (Name, demo) VALUES ('游泳', '周末');
CREATE TABLE "food_alias" (id INTEGER PRIMARY KEY, category TEXT, food TEXT, alias TEXT);
INSERT INTO food_alias (id, category, food, alias) VALUES (1, '蔬菜', '西红柿', '番茄');
CREATE TABLE food_log (id INTEGER PRIMARY KEY AUTOINCREMENT, day TEXT NOT NULL, meal INTEGER NOT NULL CHECK (meal BETWEEN 0 AND 3), food TEXT NOT NULL, category TEXT NOT NULL DEFAULT '', grams REAL NOT NULL CHECK (grams > 0), kcal_per_100g REAL NOT NULL CHECK (kcal_per_100g >= 0), created TEXT NOT NULL);
CREATE INDEX food_log_day ON food_log (day);
CREATE TABLE weight_log (day TEXT PRIMARY KEY, kg REAL NOT NULL CHECK (kg BETWEEN 20 AND 400));
CREATE TABLE profile (id INTEGER PRIMARY KEY CHECK (id = 1), sex TEXT NOT NULL CHECK (sex IN ('F', 'M')), birth_year INTEGER NOT NULL, height_cm REAL NOT NULL, activity INTEGER NOT NULL CHECK (activity BETWEEN 0 AND 4), target_kg REAL NOT NULL DEFAULT 0);
INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) VALUES ('2026-11-02', 0, '馒头', '谷薯主食', 80, 223, '2026-11-02 08:10:00'), ('2026-11-02', 1, '米饭', '谷薯主食', 150, 116, '2026-11-02 12:05:00'), ('2026-11-02', 2, '西红柿', '蔬菜', 200, 15, '2026-11-02 18:30:00');
-- 1.1 checked less than later releases: a row outside today's ranges stays as it is.
INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) VALUES ('2026-11-03', 3, '黄瓜', '蔬菜', 9000, 16, '2026-11-03 15:00:00');
INSERT INTO weight_log (day, kg) VALUES ('2026-11-02', 72.5), ('2026-11-03', 72.1);
INSERT INTO profile (id, sex, birth_year, height_cm, activity, target_kg) VALUES (1, 'F', 1990, 165, 1, 60);
CREATE TRIGGER food_log_in_range_insert BEFORE INSERT ON food_log WHEN NOT coalesce(typeof(NEW.grams) IN ('integer', 'real') AND NEW.grams > 0 AND NEW.grams <= 5000 AND typeof(NEW.kcal_per_100g) IN ('integer', 'real') AND NEW.kcal_per_100g >= 0 AND NEW.kcal_per_100g <= 900 AND NEW.meal IN (0, 1, 2, 3), 0) BEGIN SELECT RAISE(ABORT, 'food_log: value out of range'); END;
CREATE TRIGGER food_log_in_range_update BEFORE UPDATE ON food_log WHEN NOT coalesce(typeof(NEW.grams) IN ('integer', 'real') AND NEW.grams > 0 AND NEW.grams <= 5000 AND typeof(NEW.kcal_per_100g) IN ('integer', 'real') AND NEW.kcal_per_100g >= 0 AND NEW.kcal_per_100g <= 900 AND NEW.meal IN (0, 1, 2, 3), 0) BEGIN SELECT RAISE(ABORT, 'food_log: value out of range'); END;
CREATE TRIGGER weight_log_in_range_insert BEFORE INSERT ON weight_log WHEN NOT coalesce(typeof(NEW.kg) IN ('integer', 'real') AND NEW.kg BETWEEN 20 AND 400, 0) BEGIN SELECT RAISE(ABORT, 'weight_log: value out of range'); END;
CREATE TRIGGER weight_log_in_range_update BEFORE UPDATE ON weight_log WHEN NOT coalesce(typeof(NEW.kg) IN ('integer', 'real') AND NEW.kg BETWEEN 20 AND 400, 0) BEGIN SELECT RAISE(ABORT, 'weight_log: value out of range'); END;
CREATE TRIGGER profile_in_range_insert BEFORE INSERT ON profile WHEN NOT coalesce(typeof(NEW.height_cm) IN ('integer', 'real') AND NEW.height_cm BETWEEN 50 AND 250, 0) BEGIN SELECT RAISE(ABORT, 'profile: value out of range'); END;
CREATE TRIGGER profile_in_range_update BEFORE UPDATE ON profile WHEN NOT coalesce(typeof(NEW.height_cm) IN ('integer', 'real') AND NEW.height_cm BETWEEN 50 AND 250, 0) BEGIN SELECT RAISE(ABORT, 'profile: value out of range'); END;
INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) VALUES ('2026-11-04', 1, '米饭', '谷薯主食', 200, 116, '2026-11-04 12:00:00');
