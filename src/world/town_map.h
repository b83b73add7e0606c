// The map of Orvane City: the code of every square and room, by place.
#pragma once

using RoomCode = int;

// The town: four rows of five squares, west to east from the north; a door square at each end.
constexpr RoomCode FIRST_TOWN_SQUARE = 1;
constexpr RoomCode LAST_TOWN_SQUARE = 20;
constexpr RoomCode SQUARES_PER_ROW = 5;

// The first row: Clem's General Store and the Western Onion Telegraph Office.
constexpr RoomCode GENERAL_STORE_DOOR = 1;
constexpr RoomCode OUTSIDE_GENERAL_STORE = 2;
constexpr RoomCode STORE_TELEGRAPH_ROAD = 3;
constexpr RoomCode OUTSIDE_TELEGRAPH_OFFICE = 4;
constexpr RoomCode TELEGRAPH_OFFICE_DOOR = 5;

// The second row: the Marshal's office and the High Time Saloon.
constexpr RoomCode OFFICE_DOOR = 6;
constexpr RoomCode OUTSIDE_OFFICE = 7;
constexpr RoomCode OFFICE_SALOON_ROAD = 8;
constexpr RoomCode OUTSIDE_SALOON = 9;
constexpr RoomCode SALOON_DOOR = 10;

// The third row: the Big Bite Restaurant and Sam's Barber Shop.
constexpr RoomCode RESTAURANT_DOOR = 11;
constexpr RoomCode OUTSIDE_RESTAURANT = 12;
constexpr RoomCode RESTAURANT_BARBER_ROAD = 13;
constexpr RoomCode OUTSIDE_BARBER_SHOP = 14;
constexpr RoomCode BARBER_SHOP_DOOR = 15;

// The fourth row: the Fleabag Hotel and the Crazy Horse Stable.
constexpr RoomCode HOTEL_DOOR = 16;
constexpr RoomCode OUTSIDE_HOTEL = 17;
constexpr RoomCode HOTEL_STABLE_ROAD = 18;
constexpr RoomCode OUTSIDE_STABLE = 19;
constexpr RoomCode STABLE_DOOR = 20;

// North of the town, the row next to it; every row beyond is the same again.
constexpr RoomCode CEMETERY_CORNER = -4;
constexpr RoomCode NORTH_ROAD_WEST = -3;
constexpr RoomCode NORTH_ROAD = -2;
constexpr RoomCode NORTH_ROAD_EAST = -1;
constexpr RoomCode PLAINS_CORNER = 0;

// South of the town, the row next to it; every row beyond is the same again.
constexpr RoomCode HILLS_CORNER = 21;
constexpr RoomCode SOUTH_ROAD_WEST = 22;
constexpr RoomCode SOUTH_ROAD = 23;
constexpr RoomCode SOUTH_ROAD_EAST = 24;
constexpr RoomCode SILVER_MINE_CORNER = 25;

// Each building owns the hundred codes from its entry room up; every code from 100 is indoors.
constexpr RoomCode BUILDING_BLOCK_SIZE = 100;
constexpr RoomCode FIRST_INDOOR_CODE = 100;

// Clem's General Store; the storage room is reached only from the passages.
constexpr RoomCode GENERAL_STORE = 100;
constexpr RoomCode BACK_OF_STORE = 101;
constexpr RoomCode UTILITY_ROOM = 102;
constexpr RoomCode STORAGE_ROOM = 103;

// The Western Onion Telegraph Office.
constexpr RoomCode TELEGRAPH_OFFICE = 500;

// The Marshal's office and jail.
constexpr RoomCode OFFICE = 600;
constexpr RoomCode BACK_OF_OFFICE = 601;
constexpr RoomCode JAIL_CELL = 602;
constexpr RoomCode OFFICE_BACK_ROOM = 603;

// The High Time Saloon.
constexpr RoomCode SALOON = 1000;
constexpr RoomCode MANAGERS_OFFICE = 1001;
constexpr RoomCode SALOON_BASEMENT = 1002;
constexpr RoomCode GLOOMY_CHAMBER = 1003;

// The passages below the saloon's trap door; a straight stretch runs on code by code.
constexpr RoomCode VAULT = 1004;
constexpr RoomCode WESTWARD_PASSAGE_FIRST = 1005;
constexpr RoomCode WESTWARD_PASSAGE_LAST = 1009;
constexpr RoomCode STALACTITE_BEND = 1010;
constexpr RoomCode SOUTH_BEND = 1011;
constexpr RoomCode SOUTHWARD_PASSAGE_FIRST = 1012;
constexpr RoomCode SOUTHWARD_PASSAGE_LAST = 1015;
constexpr RoomCode RICKETY_STAIRS = 1016;
constexpr RoomCode STONE_ARCHWAY = 1017;
constexpr RoomCode NORTHWARD_PASSAGE_FIRST = 1018;
constexpr RoomCode NORTHWARD_PASSAGE_LAST = 1022;
constexpr RoomCode ROCK_ROOM = 1023;

// The Big Bite Restaurant.
constexpr RoomCode RESTAURANT = 1100;
constexpr RoomCode KITCHEN = 1101;

// Sam's Barber Shop.
constexpr RoomCode BARBER_SHOP = 1500;

// The Fleabag Hotel; the stairs climb from the staircase's foot to the upstairs hallway.
constexpr RoomCode HOTEL_LOBBY = 1600;
constexpr RoomCode STAIRCASE_FOOT = 1601;
constexpr RoomCode UPSTAIRS_HALLWAY = 1602;
constexpr RoomCode HALLWAY = 1603;
constexpr RoomCode GUEST_ROOM = 1604;
constexpr RoomCode SOLARIUM = 1605;

// The Crazy Horse Stable.
constexpr RoomCode STABLE = 2000;
constexpr RoomCode ENCLOSED_FIELD = 2001;
