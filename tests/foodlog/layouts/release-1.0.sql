-- SPDX-License-Identifier: GPL-3.0-or-later
-- The tables of 1.0 (notebook and foods), as its data layer made them, with a few rows.
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
